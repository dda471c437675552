#pragma once

#include "fs/AppError.h"
#include "rotation/Options.h"

#include <vector>

class SettingsBackend;

// The options in the settings store, beside the seven settings of the window, in a section of
// their own ("Options"): one value per option, so options added later find their place.
// A value that is missing or cannot be understood reads as its default.
Options loadOptions(SettingsBackend& backend);
// Writes every option; a value that cannot be written does not stop the others. Returns the
// failures.
std::vector<AppError> saveOptions(SettingsBackend& backend, const Options& options);
