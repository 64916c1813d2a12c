#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <optional>

namespace DewlightViews {

class DewlightViewModel;

// The windows the model can ask for.
enum class RozivDestination { preferences, welcome };

// What the window router reads and writes on the application model, so that the views need not
// know the model itself. A window is requested by setting `destination`; the router takes the
// request by setting it back to none. Main thread only.
class RozivWindowRequests {
public:
    virtual ~RozivWindowRequests() = default;

    virtual std::optional<RozivDestination> destination() const = 0;
    // Announces the change only when the value differs.
    virtual void setDestination(std::optional<RozivDestination> destination) = 0;
    // True while the data cannot be used: no window opens over it.
    virtual bool dataUnavailable() const = 0;
    // The model the windows show.
    virtual DewlightViewModel& viewModel() = 0;
    // Calls `handler` after each change of `destination`, for as long as both this model and
    // `context` live.
    virtual QMetaObject::Connection onDestinationChanged(QObject* context,
                                                         std::function<void()> handler) = 0;
};

} // namespace DewlightViews
