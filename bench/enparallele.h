#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>
#include <vector>

// Runs this program again once per argument list, `processus` children at a time, each
// keeping its stations and their widgets on its own main thread as Qt wants. Gives the
// standard output of each run, or nothing for a run that failed (its standard error is
// then passed on). Shows the progress on standard error.
std::vector<std::optional<QByteArray>> lanceenparallele(const std::vector<QStringList>& arguments,
                                                        int processus);
