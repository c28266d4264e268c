#include "surfaces/osc_settings.h"

#include "settings/settings_store.h"

namespace tavrelia {

namespace {
const QString kEnabledKey = QStringLiteral("Enabled");
const QString kPortKey = QStringLiteral("Port");
const QString kAddressKey = QStringLiteral("Address");
const QString kFeedbackHostKey = QStringLiteral("FeedbackHost");
const QString kFeedbackPortKey = QStringLiteral("FeedbackPort");
}  // namespace

OscSettings OscSettings::read(SettingsStore::Group& group)
{
    OscSettings result;
    result.enabled = group.flag(kEnabledKey, false);
    result.port = group.port(kPortKey, kDefaultPort);
    result.address = group.address(kAddressKey);
    result.feedbackHost = group.address(kFeedbackHostKey);
    result.feedbackPort = group.port(kFeedbackPortKey, 0, true);
    return result;
}

bool OscSettings::save(SettingsStore& store) const
{
    return store.write(kGroup, {{kEnabledKey, enabled ? QStringLiteral("true") : QStringLiteral("false")},
                                {kPortKey, QString::number(port)},
                                {kAddressKey, address},
                                {kFeedbackHostKey, feedbackHost},
                                {kFeedbackPortKey, feedbackPort == 0 ? QString() : QString::number(feedbackPort)}});
}

}  // namespace tavrelia
