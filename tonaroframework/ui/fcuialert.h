// The alert boxes of the host UI services: which set of buttons an alert
// shows and the code that tells which button was pressed.
#pragma once

// The kinds of alert. Each has a fixed set of buttons (the first is the
// default button) and a default title used when none is given:
//   FCUI_ALERT_ERROR        "Ok"                    "Error"
//   FCUI_ALERT_INFO         "Ok"                    "Information"
//   FCUI_ALERT_NEUTRAL      "Ok"                    (empty title)
//   FCUI_ALERT_YESNO        "Yes", "No"             "Yes/No?"
//   FCUI_ALERT_OKCANCEL     "Ok", "Cancel"          "Ok/Cancel?"
//   FCUI_ALERT_YESNOCANCEL  "Yes", "No", "Cancel"   "Yes/No/Cancel?"
enum FCUI_ALERTKIND {
    FCUI_ALERT_ERROR = 0,
    FCUI_ALERT_INFO = 1,
    FCUI_ALERT_NEUTRAL = 2,
    FCUI_ALERT_YESNO = 3,
    FCUI_ALERT_OKCANCEL = 4,
    FCUI_ALERT_YESNOCANCEL = 5
};

// What an alert answers.
enum FCUI_ALERTRESULT {
    FCUI_ALERTRESULT_OK = 0,
    FCUI_ALERTRESULT_CANCEL = 1,
    FCUI_ALERTRESULT_YES = 2,
    FCUI_ALERTRESULT_NO = 3,
    FCUI_ALERTRESULT_NONE = 4  // no alert was shown
};

// The button texts, exactly as shown.
inline constexpr const char kFCUIButtonOk[] = "Ok";
inline constexpr const char kFCUIButtonCancel[] = "Cancel";
inline constexpr const char kFCUIButtonYes[] = "Yes";
inline constexpr const char kFCUIButtonNo[] = "No";
