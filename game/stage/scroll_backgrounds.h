// The full-screen pictures behind a stage's tile map that repeat and move
// with the view (or run on their own, like stage 4's waterfall). The stage
// scene makes one per stage part, updates it with the view's scroll before
// drawing and draws it first.
#pragma once

// a: the negated horizontal map scroll; b: 192 less the player's vertical
// view position, both truncated to int. The scene deletes the object
// through this interface, so the destructor is virtual.
class IStageScrollBackground {
public:
    virtual ~IStageScrollBackground() = default;
    virtual void Update(int a, int b) = 0;
    virtual void Draw() = 0;
};

// Stages 2 and 202: a sky that drifts left by `speed` per frame and by a
// share of the map's scroll, and follows the view vertically.
class CStage2ScrollBackground : public IStageScrollBackground {
public:
    void Update(int a, int b) override;
    void Draw() override;

    int image = -1;
    int lastA = 0;
    double x = 0.0;
    double y = 0.0;
    double speed = 0.0;
    double yFactor = 0.0;
    double aFactor = 0.0;
};

class CStage2AScrollBackground : public CStage2ScrollBackground {};
class CStage2BScrollBackground : public CStage2ScrollBackground {};

// Stages 3 and 302: a far forest and nearer trees at two parallax rates.
class CStage3ScrollBackground : public IStageScrollBackground {
public:
    void Update(int a, int b) override;
    void Draw() override;

    int farImage = -1;
    int nearImage = -1;
    double farFactor = 0.0;
    double nearFactor = 0.0;
    int a = 0;
    int b = 0;
};

// Stages 4 and 402: a waterfall that runs down by flowSpeed per frame.
class CStage4ScrollBackground : public IStageScrollBackground {
public:
    void Update(int a, int b) override;
    void Draw() override;

    int image = -1;
    int x = 0;
    int flow = 0;
    int b = 0;
    int flowSpeed = 0;
};

// Stages 5 and 502: a lake, a mountain and wastes in three layers.
class CStage5ScrollBackground : public IStageScrollBackground {
public:
    void Update(int a, int b) override;
    void Draw() override;

    int backImage = -1;
    int middleImage = -1;
    int frontImage = -1;
    int a = 0;
    int b = 0;
    double factor0 = 0.0;
    double factor1 = 0.0;
    double factor2 = 0.0;
    double factor3 = 0.0;
};

// The stage part's scroll background with its constants and its images
// taken from the stage's image table (StageImageAt positions); null for
// stages without one (1 and 102).
IStageScrollBackground* CreateScrollBackground(int stageCode, const int* images);
