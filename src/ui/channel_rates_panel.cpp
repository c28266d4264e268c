#include "channel_rates_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>

#include "base_form.h"
#include "console.h"
#include "playback/channel_rates.h"

namespace tavrelia {

ChannelRatesPanel::ChannelRatesPanel(TBaseForm& form) : console_(form.console())
{
    setObjectName(QStringLiteral("ChannelRatesPanel"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);

    rateLevel_ = new QScrollBar(Qt::Horizontal, this);
    rateLevel_->setObjectName(QStringLiteral("ScrollBarRateLeuel"));
    rateLevel_->setRange(0, ChannelRates::kPositions - 1);
    rateLevel_->setPageStep(10);
    rateLevel_->setValue(ChannelRates::kSelectedDefault);
    rateLevel_->setToolTip(QStringLiteral("Время изменения уровня выбранных каналов DMX "));
    connect(rateLevel_, &QScrollBar::valueChanged, this,
            &ChannelRatesPanel::ScrollBarRateLeuelChange);
    row->addWidget(rateLevel_, 1);

    labelRate_ = new QLabel(QStringLiteral("2 sec"), this);
    labelRate_->setObjectName(QStringLiteral("LabelRate"));
    labelRate_->setToolTip(QStringLiteral("Время изменения уровня всех каналов DMX  в секундах"));
    labelRate_->setMinimumWidth(labelRate_->fontMetrics().horizontalAdvance(QStringLiteral("0,5 sec")));
    row->addWidget(labelRate_);

    connect(&console_.rates, &ChannelRates::captionChanged, labelRate_, &QLabel::setText);
    form.ustPage(TBaseForm::UstTab::Plavnost)->layout()->addWidget(this);
}

void ChannelRatesPanel::ScrollBarRateLeuelChange(int position)
{
    console_.rates.applyToSelected(position);
}

}  // namespace tavrelia
