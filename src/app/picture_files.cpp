#include "app/picture_files.h"

#include "data/textfile.h"

namespace skarvel::app {

using picture::Medium;

PictureFile ChartPictureFile(const std::string& chosen) {
    const auto medium = picture::MediumOf(chosen);
    if (medium == Medium::Bmp || medium == Medium::Wmf || medium == Medium::Emf) {
        return {chosen, *medium};
    }
    return {data::ReplaceExtension(chosen, ".emf"), Medium::Emf};
}

PictureFile TrajectoryPictureFile(const std::string& chosen) {
    return {data::ReplaceExtension(chosen, ".bmp"), Medium::Bmp};
}

} // namespace skarvel::app
