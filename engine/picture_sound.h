#pragma once
// The picture fit and sound routing modes as the player's filters.
#include <QSize>
#include <QString>
#include <optional>

namespace qarvel::engine {

// The video filter for a display mode ("" shows the film as it is, fitted into
// the widget). Stretching gives the picture the widget's own proportions, so it
// depends on the widget's size. nullopt for a mode the player does not have.
std::optional<QString> videoFilterFor(int displayMode, QSize widgetSize);
// The audio filter for a channel mode ("" for the film's own channels).
std::optional<QString> audioFilterFor(int soundChannel);

}  // namespace qarvel::engine
