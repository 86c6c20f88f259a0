#include "bazovy_karaul.h"

namespace sutograf {

float BazovyKaraul = 0.0f;

} // namespace sutograf
