#include "app/picture_files.h"

#include "data/textfile.h"

namespace skarvel::app {

using picture::Medium;

PictureFile ChartPictureFile(const std::string& chosen) {
    const auto medium = picture::MediumOf(chosen);
    if (medium == Medium::Bmp || medium == Medium::Wmf || medium == Medium::Emf) {
        return {chosen, *medium};
    }
    return {data::ReplaceExtension(chosen, picture::ExtensionOf(Medium::Emf)), Medium::Emf};
}

PictureFile TrajectoryPictureFile(const std::string& chosen) {
    return {data::ReplaceExtension(chosen, picture::ExtensionOf(Medium::Bmp)), Medium::Bmp};
}

} // namespace skarvel::app
