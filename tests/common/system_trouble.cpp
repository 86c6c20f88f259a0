#include "system_trouble.h"

namespace trouble {

Lasting::~Lasting() = default;

} // namespace trouble
