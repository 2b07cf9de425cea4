#pragma once
// Which picture a chosen file name gets, and under which name.

#include <string>

namespace skarvel::app {

enum class PictureFormat { Emf, Wmf, Bmp };

struct PictureFile {
    std::string path;
    PictureFormat format;
};

// A chart picture: ".bmp" a bitmap and ".wmf" a Windows metafile under the
// name chosen (the extension's case ignored); ".emf" an enhanced metafile;
// any other extension, or none, becomes ".emf".
PictureFile ChartPictureFile(const std::string& chosen);

// The trajectory picture is a bitmap: whatever extension was chosen becomes ".bmp".
PictureFile TrajectoryPictureFile(const std::string& chosen);

} // namespace skarvel::app
