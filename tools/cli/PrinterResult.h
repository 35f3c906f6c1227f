#pragma once

#include <QJsonObject>
#include <QString>

// What one command did at one printer: the link as named, the result code (an operation's
// code, or kRefusedByPassword) and its text, the data for JSON and a one-line summary for
// the table.
struct PrinterResult {
    QString link;
    int code = 0;
    QJsonObject data;
    QString summary;
};

// The code of a change refused because the given password is missing or wrong; its text
// is the password check's "Incorrect".
constexpr int kRefusedByPassword = 6;
// A firmware rollout: the printer was not started because a canary failed ("Not
// Started"), did not answer again within the wait after its firmware ("Not Back"), or
// came back with another version than the one expected ("Wrong Version").
constexpr int kNotStarted = 7;
constexpr int kNotBack = 8;
constexpr int kWrongVersion = 9;
// A configuration write: a setting sent is not what the printer holds when read back
// ("Not Taken").
constexpr int kNotTaken = 10;
// A settings document names a setting the printer does not report: nothing was sent
// ("Refused").
constexpr int kRefusedSetting = 11;

// The text of a result code: "" for 0, the operations' fixed texts for 1 to 5,
// "Incorrect" for a refused password, then the rollout's texts, "Not Taken" and "Refused".
QString ResultText(int code);
