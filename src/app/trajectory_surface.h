#pragma once
// Where the trajectory is drawn: the flight's picture, and the flight cursor
// over it. How the two are kept and shown is the surface's business (the
// window keeps two bitmaps; a picture written from the command line keeps
// two drawings).

#include "view/canvas.h"

namespace skarvel::app {

class TrajectorySurface {
  public:
    enum class Layer {
        NewFlight, // a new flight picture of the given size; the cursor comes off
        Flight,    // more of the flight (a live step) on the picture there is
        Cursor,    // a new cursor over the flight picture, the last one gone
    };
    virtual ~TrajectorySurface() = default;
    // The canvas to draw that layer on.
    virtual view::Canvas& draw(Layer layer, int width, int height) = 0;
    // The drawing is over, finished or not: show the picture.
    virtual void drawn() = 0;
};

// The two drawings of a canvas type that is copied as a whole (an SVG
// drawing, for one), made with (width, height); the cursor's drawing starts
// as a copy of the flight's.
template <class C> class PictureSurface : public TrajectorySurface {
  public:
    PictureSurface(int width, int height) : flight_(width, height), shown_(width, height) {}
    view::Canvas& draw(Layer layer, int width, int height) override {
        switch (layer) {
        case Layer::NewFlight:
            flight_ = C(width, height);
            [[fallthrough]];
        case Layer::Flight:
            cursorShown_ = false;
            return flight_;
        case Layer::Cursor:
            break;
        }
        shown_ = flight_;
        cursorShown_ = true;
        return shown_;
    }
    void drawn() override {}
    // The picture as shown: the flight, with the cursor when it has one.
    const C& shown() const { return cursorShown_ ? shown_ : flight_; }

  private:
    C flight_;
    C shown_;
    bool cursorShown_ = false;
};

} // namespace skarvel::app
