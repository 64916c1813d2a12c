#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command-line switch into snapshot mode and its option readers. The arguments are the
// process's own, as it was started and without the program name: Qt takes options such as
// "-platform" out of what QCoreApplication::arguments() lists, and a snapshot option must be
// found whatever stood before it. Nothing is cached: each call reads the arguments again.
namespace KestraUI::KestraSnapshot {

// The arguments the process was started with, without the program name.
QStringList arguments();

// True when any argument begins with "--snapshot-" ("--snapshot-" alone counts, "--snapshot"
// does not).
bool isActive();
bool isActive(const QStringList& arguments);

// True when some argument equals `flag` exactly.
bool contains(const QString& flag);
bool contains(const QStringList& arguments, const QString& flag);

// The argument after the first one equal to `flag`, unchanged even when it begins with "--";
// none when `flag` is absent or last. Later repetitions are not looked at.
std::optional<QString> value(const QString& flag);
std::optional<QString> value(const QStringList& arguments, const QString& flag);

} // namespace KestraUI::KestraSnapshot
