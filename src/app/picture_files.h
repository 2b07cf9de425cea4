#pragma once
// Which picture a chosen file name gets, and under which name.

#include "picture/medium.h"

#include <string>

namespace skarvel::app {

struct PictureFile {
    std::string path;
    picture::Medium medium;
};

// A chart picture: a bitmap, a Windows metafile or an enhanced metafile under
// the name chosen when its extension stands for one of them; any other
// extension, or none, becomes ".emf".
PictureFile ChartPictureFile(const std::string& chosen);

// The trajectory picture is a bitmap: whatever extension was chosen becomes ".bmp".
PictureFile TrajectoryPictureFile(const std::string& chosen);

} // namespace skarvel::app
