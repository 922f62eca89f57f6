#pragma once

namespace scenova::controls {

// The standard properties every hosted control gets from its container site.
// Positions and sizes are twips.
class IContainedControl {
public:
    virtual ~IContainedControl() = default;

    virtual float Left() const = 0;
    virtual void Left(float value) = 0;
    virtual float Top() const = 0;
    virtual void Top(float value) = 0;
    virtual float Width() const = 0;
    virtual void Width(float value) = 0;
    virtual float Height() const = 0;
    virtual void Height(float value) = 0;
    virtual bool Visible() const = 0;
    virtual void Visible(bool value) = 0;
    virtual bool Enabled() const = 0;
    virtual void Enabled(bool value) = 0;
};

}  // namespace scenova::controls
