// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace tavrin {

// Qt's own texts (the standard buttons of message boxes, the file dialogs) follow the tool's
// language: Qt's Japanese translation is loaded for Japanese and dropped for English. When it
// is not installed they stay English.
void UseQtTextsFor(int language);

}  // namespace tavrin
