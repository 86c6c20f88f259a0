#pragma once

namespace sutograf {

// The rota offset: the 0-based index of the watch on duty on 01.01.2011. One value for the whole
// run, 0 until Opt.txt has been read. Written only by the reading step at start-up and by Save in
// the settings dialog; read by every grid rebuild.
extern float BazovyKaraul;

} // namespace sutograf
