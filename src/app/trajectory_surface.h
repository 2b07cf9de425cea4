#pragma once
// Where the trajectory is drawn: a clean image holding the drawn flight and
// the shown picture, a copy of it with the flight cursor on top. The window
// keeps two bitmaps; a picture written from the command line keeps two
// drawings of another kind.

#include "view/canvas.h"

#include <utility>

namespace skarvel::app {

class TrajectorySurface {
  public:
    virtual ~TrajectorySurface() = default;
    // The clean image, made width x height, to draw the whole flight on.
    virtual view::Canvas& beginClean(int width, int height) = 0;
    // The shown picture, to draw a live step or the cursor on.
    virtual view::Canvas& beginShown() = 0;
    // Drawing on either is done for now.
    virtual void endDrawing() {}
    // The shown picture becomes a copy of the clean image.
    virtual void showClean() = 0;
    // After a flight drawn live: the clean image takes a copy of the picture.
    virtual void keepShownAsClean() = 0;
    // The picture changed: show it.
    virtual void present() {}
};

// Two drawings of a canvas type that is copied as a whole (an SVG drawing,
// for one), made with (width, height).
template <class C> class PictureSurface : public TrajectorySurface {
  public:
    PictureSurface(int width, int height) : clean_(width, height), shown_(width, height) {}
    view::Canvas& beginClean(int width, int height) override {
        clean_ = C(width, height);
        return clean_;
    }
    view::Canvas& beginShown() override { return shown_; }
    void showClean() override { shown_ = clean_; }
    void keepShownAsClean() override { clean_ = shown_; }
    const C& shown() const { return shown_; }

  private:
    C clean_;
    C shown_;
};

} // namespace skarvel::app
