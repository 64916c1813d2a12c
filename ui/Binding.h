#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <utility>

namespace ui {

// A read-write reference to a value that lives elsewhere (view state or the model's published
// state). Controls read through it and write through it; they keep no copy.
template <typename T> class Binding {
public:
    Binding(std::function<T()> get, std::function<void(T)> set)
        : get_(std::move(get)), set_(std::move(set)) {}

    // A binding that always reads `value` and ignores writes.
    static Binding constant(T value) {
        return Binding([value] { return value; }, [](T) {});
    }

    T get() const { return get_(); }
    void set(T value) const { set_(std::move(value)); }

private:
    std::function<T()> get_;
    std::function<void(T)> set_;
};

// What a focus binding tells the host: whether the view wants its control focused, and where the
// host writes the control's focus when it moves. A Boolean binding, or an optional identity that
// names the focused control among several.
struct FocusBinding {
    std::function<bool()> get;
    std::function<void(bool)> set;

    static FocusBinding of(Binding<bool> binding) {
        return {[binding] { return binding.get(); }, [binding](bool on) { binding.set(on); }};
    }
    static FocusBinding equals(Binding<std::optional<QString>> binding, QString id) {
        return {[binding, id] { return binding.get() == id; },
                [binding, id](bool on) {
                    if (on)
                        binding.set(id);
                    else if (binding.get() == id)
                        binding.set(std::nullopt);
                }};
    }
};

} // namespace ui
