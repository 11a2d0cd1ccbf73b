#pragma once

#include <QString>

// The two pre-printed form models and the model remembered in the settings file.
enum class FormModel {
    Small, // forms 80.074 (3 copies) and 80.075 (4 copies)
    Large, // forms 80.071 (3 copies) and 80.072 (4 copies)
};

namespace FormModels {
// The captions of the model buttons, which are also the values kept on disk.
QString caption(FormModel model);
// The model of the last run started: the small model only when the saved value is exactly
// its caption; anything else (no file, no key, another text) is the large model.
FormModel saved();
// Raises "Unable to write to <path>" when the settings file cannot be written.
void save(FormModel model);
} // namespace FormModels
