#pragma once

#include <map>

namespace sutograf {

// Several controls under one name, each addressed by its index, as the menu entries are laid out.
// Indexes need not start at 0 nor be contiguous (the menu's run 100, 110, 120, ...).
template <class Control> using ControlArray = std::map<int, Control*>;

} // namespace sutograf
