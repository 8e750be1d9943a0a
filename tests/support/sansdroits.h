#pragma once

#include <functional>

// Runs `action` without the administrator's right to read and write everywhere, so that a
// test run as root meets a refused write as a user would. Outside root it simply runs the
// action. False when the right cannot be dropped (the action has not run).
bool sansdroitsadministrateur(const std::function<void()>& action);
