#pragma once

#include "ui_settingspage.h"

#include <QList>
#include <QStandardPaths>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QTranslator;

// One row of the page's receiver list: the receiver's id in the collection and its given name.
struct DeviceListEntry
{
    quint32 id = 0;
    QString givenName;
};

// The main window's settings page: media folders, the video converter, the interface language and the
// list of known receivers. Every field is checked as it is typed; the paths are stored only when the
// user leaves the page (leave()), and the page cannot be left while one of them is wrong.
class SettingsPage : public QWidget, public Ui::SettingsPage
{
    Q_OBJECT
public:
    using DeviceListSource = std::function<QList<DeviceListEntry>()>;

    explicit SettingsPage(QWidget *parent = nullptr);

    // Where the receiver list comes from (the window's collection, in collection order).
    void setDeviceListSource(DeviceListSource source);
    // The translator a language change loads (the window's one translator); none: only the setting changes.
    void setTranslator(QTranslator *translator);

    // Run each time the page is opened: hides the overall warning, refills the converter field from the
    // setting (default: Settings::ffmpegDefaultPath) and the receiver list.
    void prepareToShow();
    // The page refused to be left: shows the overall warning in red.
    void showLeaveRefused();
    // Every way off the page goes through here: with all fields valid they are stored and true comes
    // back; otherwise nothing is stored, the refusal is shown and the page stays.
    bool leave();
    // Stores the path fields as they are; false when the store could not take them (the caller says it).
    bool storePaths();

    bool allPathsValid() const;
    void selectLanguageButton(const QString &lang);
    void fillDevicesList();
    QString warningText() const { return warning; }

    static bool dirExists(const QString &path);
    // The location when it exists, else the documents folder when that exists, else the home folder.
    static QString defaultMediaFolder(QStandardPaths::StandardLocation location);
    // A converter path is usable when it is absolute and names an existing executable file.
    static bool isUsableProgram(const QString &path);

signals:
    // The user confirmed removing these receivers; the window removes them and saves its collection once.
    void removeDevicesRequest(const QList<quint32> &ids);
    // The user picked another language; it is stored and the translator is loaded already.
    void languageChanged(const QString &lang);

public slots:
    void changeLanguage();
    void onPathPicturesChanged(const QString &text);
    void onPathVideoChanged(const QString &text);
    void onPathMusicChanged(const QString &text);
    void onPathConvertVideoChanged(const QString &text);
    void onPicturesPushButtonPressed();
    void onVideoPushButtonPressed();
    void onMusicPushButtonPressed();
    void onConvertVideoPushButtonPressed();
    void onPicturesDefaultPushButtonPressed();
    void onVideoDefaultPushButtonPressed();
    void onMusicDefaultPushButtonPressed();
    void onConvertVideoDefaultPushButtonPressed();
    void onRemoveDevicesPushButtonPressed();
    void onDevicesSelectionChanged();

protected:
    void changeEvent(QEvent *event) override;

private:
    void validateSettingsPaths();
    void setPathWarning(QLabel *warningLabel, bool ok);
    void applyMediaPath(const QString &path, bool *validFlag, QLabel *warningLabel);
    QString mediaPathSetting(int key, QStandardPaths::StandardLocation location) const;
    void setPathText(QLineEdit *edit, const QString &path);
    void browseMediaFolder(QLineEdit *edit, const QString &title, QStandardPaths::StandardLocation location);

    bool conversionPathValid = false;
    bool picturesPathValid = false;
    bool videoPathValid = false;
    bool musicPathValid = false;
    QString warning;
    QTranslator *translator = nullptr;
    DeviceListSource deviceSource;
};
