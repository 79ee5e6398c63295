// A test seam: an observer that sees each public graphic draw once, as it
// was called (a public draw that another one makes on its behalf is not
// seen again), before it draws. Nothing is observed unless a test sets one.
#pragma once

struct ObservedGraphicDraw {
    const char* call;      // the public draw's name
    int handle;            // the graphic, or -1 for rectangles
    double points[8];      // x, y pairs: the call's coordinates in order
    int pointCount;        // how many pairs were given
    int source[4];         // the part's sourceX, sourceY, width, height (DrawGraphicPart,
                           // DrawGraphicRectStretchedF)
    double scale;          // the rotated draws
    double angle;
    int transFlag;
    int turnFlag;
    int colour;            // the rectangles
};

typedef void (*GraphicDrawObserver)(const ObservedGraphicDraw& draw);

void SetGraphicDrawObserver(GraphicDrawObserver observer);

// Reports the draw when it is the outermost one; held for the call's length.
class ObservedDrawScope {
public:
    explicit ObservedDrawScope(const ObservedGraphicDraw& draw);
    ~ObservedDrawScope();
    ObservedDrawScope(const ObservedDrawScope&) = delete;
    ObservedDrawScope& operator=(const ObservedDrawScope&) = delete;
};
