#pragma once
// What the capture object and the source selection window share: the saved choice of
// source and format, the choice found at the last lookup, the 25 fps limit, and the text
// that describes a format ("1920*1080/25").

#include "capture/Capture_Component.h"

#include <QString>
#include <optional>

namespace Module_HDMI_Support {
// The saved choice as last read from the settings, and the source and format found for it.
inline QString m_saved_Friendly_name;
inline QString m_saved_Video_prop_num;
inline QString Current_Friendly_Name;
inline QString Current_Property_String;

// "Limit capture to 25 fps" of the source selection window: ticked when the window is
// created and never stored, so it is on until the operator clears it.
inline bool Limit_Capture_25_Fps = true;

inline const QString Settings_Section = QStringLiteral("capturesettings");
inline const QString Key_Friendly_Name = QStringLiteral("friendlyname");
inline const QString Key_Video_Property = QStringLiteral("videoproperty");
} // namespace Module_HDMI_Support

// width & "*" & height & "/" & frames per second to one decimal (halves to even, the
// system's decimal separator, no decimals when whole): 333667 (29.97 fps) gives "/30".
// "Corrupt data!" without a record; a frame time of 0 or less is reported as a failure of
// Process_AMT and gives "".
QString Process_AMT(const std::optional<Capture_Format> &format);

// Description of format `format_number` of the selected source.
QString Get_Prop(Capture_Component &capture, int format_number);
