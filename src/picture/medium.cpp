#include "picture/medium.h"

#include "data/textfile.h"
#include "picture/emf_writer.h"
#include "picture/svg_canvas.h"
#include "picture/wmf_writer.h"

#include <utility>

namespace skarvel::picture {

std::string_view ExtensionOf(Medium medium) {
    switch (medium) {
    case Medium::Svg:
        return ".svg";
    case Medium::Emf:
        return ".emf";
    case Medium::Wmf:
        return ".wmf";
    case Medium::Bmp:
        return ".bmp";
    case Medium::Pdf:
        return ".pdf";
    }
    return "";
}

std::optional<Medium> MediumOf(const std::string& path) {
    const std::string ext = data::LowerExtension(path);
    for (const Medium medium : {Medium::Svg, Medium::Emf, Medium::Wmf, Medium::Bmp, Medium::Pdf}) {
        if (ext == ExtensionOf(medium)) {
            return medium;
        }
    }
    return std::nullopt;
}

std::unique_ptr<MetafileWriter> MetafileWriterFor(Medium medium, int width, int height, int dpi) {
    switch (medium) {
    case Medium::Emf:
        return std::make_unique<EmfWriter>(width, height, dpi);
    case Medium::Wmf:
        return std::make_unique<WmfWriter>(width, height, dpi);
    case Medium::Svg:
    case Medium::Bmp:
    case Medium::Pdf:
        break;
    }
    return nullptr;
}

namespace {

class SvgPicture : public VectorPicture {
  public:
    SvgPicture(int width, int height) : canvas_(width, height) {}

    Canvas& canvas() override { return canvas_; }
    std::string finish() override { return canvas_.document(); }

  private:
    SvgCanvas canvas_;
};

class MetafilePicture : public VectorPicture {
  public:
    explicit MetafilePicture(std::unique_ptr<MetafileWriter> writer)
        : writer_(std::move(writer)), canvas_(*writer_) {}

    Canvas& canvas() override { return canvas_; }
    std::string finish() override { return writer_->finish(); }

  private:
    std::unique_ptr<MetafileWriter> writer_;
    MetafileCanvas canvas_;
};

} // namespace

std::unique_ptr<VectorPicture> VectorPictureFor(Medium medium, int width, int height) {
    if (medium == Medium::Svg) {
        return std::make_unique<SvgPicture>(width, height);
    }
    if (auto writer = MetafileWriterFor(medium, width, height)) {
        return std::make_unique<MetafilePicture>(std::move(writer));
    }
    return nullptr;
}

} // namespace skarvel::picture
