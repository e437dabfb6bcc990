// SPDX-License-Identifier: Apache-2.0
#include "ui/TavrinStyle.h"

namespace tavrin {

int TavrinStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* returnData) const {
    if (hint == QStyle::SH_ToolTip_WakeUpDelay) return kToolTipDelayMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

}  // namespace tavrin
