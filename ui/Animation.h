#pragma once

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace ui {

// How a value moves to a new target.
struct Animation {
    enum class Curve { linear, easeOut, easeInOut, spring };

    Curve curve = Curve::easeInOut;
    double duration = 0.25; // seconds; a spring's is derived from its response
    double response = 0.5;  // springs only
    double damping = 1.0;   // springs only: 1 settles without overshoot

    static Animation linear(double seconds) { return {Curve::linear, seconds}; }
    static Animation easeOut(double seconds) { return {Curve::easeOut, seconds}; }
    static Animation easeInOut(double seconds) { return {Curve::easeInOut, seconds}; }
    static Animation spring(double response, double damping);

    // Progress from 0 to 1 after `elapsed` seconds; 1 once done.
    double progress(double elapsed) const;
    double totalDuration() const;
};

// Running animations of one window, keyed by the identity of the node that shows them, so they
// survive a rebuild. Values are asked for when the node is laid out or painted; asking with a new
// target starts a transition from the value shown at that moment.
class AnimationStore {
public:
    enum class Channel { opacity, scale, number, bounce };

    explicit AnimationStore(std::function<double()> clock);

    // The value to show now. Without an animation (reduce motion, or none asked for) the target is
    // shown at once. The first time an identity asks, its target is shown without a transition.
    double value(const QString& identity, Channel channel, double target,
                 const std::optional<Animation>& animation);
    // A pulse from 0 up to 1 and back, started each time `trigger` changes (never on first
    // sight); 0 while idle.
    double pulse(const QString& identity, long long trigger,
                 const std::optional<Animation>& animation);

    // Whether a transition is still moving; the host keeps drawing frames while one is.
    bool running() const;
    // Whether a running transition feeds a layout (numbers), not only painting.
    bool layoutRunning() const;
    // Forgets the animations of identities that left the tree.
    void retain(const std::function<bool(const QString&)>& present);

private:
    struct Transition {
        double from = 0, to = 0, start = 0;
        std::optional<Animation> animation;
        long long trigger = 0;
    };
    double now() const { return clock_(); }
    bool moving(const Transition& t, double at) const;

    std::function<double()> clock_;
    std::map<std::pair<QString, Channel>, Transition> transitions_;
};

} // namespace ui
