#pragma once
// A paint device whose QPainter calls become metafile records, so that a
// chart (or any widget) renders into an .emf or .wmf picture. Paths are
// flattened to polygons; text keeps its font face and size; images are left
// out.

#include "picture/metafile.h"

#include <QPaintDevice>
#include <QSize>

#include <memory>

namespace skarvel::gui {

class MetafilePaintEngine;

class MetafileDevice : public QPaintDevice {
  public:
    MetafileDevice(picture::MetafileWriter& writer, QSize size);
    ~MetafileDevice() override;

    QPaintEngine* paintEngine() const override;

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    QSize size_;
    std::unique_ptr<MetafilePaintEngine> engine_;
};

} // namespace skarvel::gui
