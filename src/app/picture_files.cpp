#include "app/picture_files.h"

#include "data/textfile.h"

namespace skarvel::app {

PictureFile ChartPictureFile(const std::string& chosen) {
    const std::string ext = data::LowerExtension(chosen);
    if (ext == ".bmp") {
        return {chosen, PictureFormat::Bmp};
    }
    if (ext == ".wmf") {
        return {chosen, PictureFormat::Wmf};
    }
    if (ext == ".emf") {
        return {chosen, PictureFormat::Emf};
    }
    return {data::ReplaceExtension(chosen, ".emf"), PictureFormat::Emf};
}

PictureFile TrajectoryPictureFile(const std::string& chosen) {
    return {data::ReplaceExtension(chosen, ".bmp"), PictureFormat::Bmp};
}

} // namespace skarvel::app
