// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QProxyStyle>

namespace tavrin {

// The platform's style with tooltips that appear after a second of hovering.
class TavrinStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int kToolTipDelayMs = 1000;

    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace tavrin
