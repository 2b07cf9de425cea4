#pragma once
// The one rule that picks a picture's medium from its file name, what each
// kind of picture may be written in, and the surfaces that draw a picture on
// a vector medium.

#include "picture/metafile.h"
#include "view/canvas.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace skarvel::picture {

// The media a picture file can be: SVG, Enhanced Metafile, Windows Metafile
// with the placeable header, Windows bitmap, PDF.
enum class Medium { Svg, Emf, Wmf, Bmp, Pdf };

// The extension a file of the medium has, lower case with its dot (".emf").
std::string_view ExtensionOf(Medium medium);

// The medium the file name's extension stands for: ".svg", ".emf", ".wmf" or
// ".bmp" or ".pdf", its ASCII case ignored; none for another extension or
// none at all.
std::optional<Medium> MediumOf(const std::string& path);

// A one-page picture drawn by canvas calls rather than as pixels: SVG, EMF,
// WMF. The trajectory and the sketch are written in these.
constexpr bool IsVector(Medium medium) {
    return medium == Medium::Svg || medium == Medium::Emf || medium == Medium::Wmf;
}

// The media of the cutting pattern: PDF (every page in one file), SVG, EMF
// and WMF (a file per page).
constexpr bool IsPatternMedium(Medium medium) {
    return medium != Medium::Bmp;
}

// A record writer for a metafile medium (EMF, WMF) of a picture width x
// height pixels of `dpi` to the inch; none for the other media.
std::unique_ptr<MetafileWriter> MetafileWriterFor(Medium medium, int width, int height,
                                                  int dpi = 96);

// A picture being drawn on a vector medium: the drawing routines draw on its
// canvas, then it gives the file's bytes.
class VectorPicture {
  public:
    virtual ~VectorPicture() = default;

    virtual Canvas& canvas() = 0;
    // The whole file. The picture is done afterwards.
    virtual std::string finish() = 0;
};

// A picture of width x height pixels on a vector medium (SVG, EMF, WMF),
// roles through the light palette; none for a bitmap.
std::unique_ptr<VectorPicture> VectorPictureFor(Medium medium, int width, int height);

} // namespace skarvel::picture
