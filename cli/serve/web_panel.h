#pragma once
// The web panel `serve` shows at /: the dialog's controls in one page of plain HTML, CSS and JavaScript, held in
// the binary (studio machines are often offline: nothing is fetched from elsewhere).

#include <string>

namespace sw::cli::serve {

// The page, with the device's palette (indices, names, swatch colours) written into it.
std::string webPanelPage();

}  // namespace sw::cli::serve
