#pragma once

// The toolkit's own Brazilian Portuguese texts (standard dialogs, buttons, its messages),
// so that "Open", "Cancel" or "Copies" never show in English to our users.
namespace Translations {
// Loads them into the running application; false when the translation files are missing
// (the program then still runs, with the toolkit's English texts).
bool install();
} // namespace Translations
