#include "app/settingspage.h"

#include "base/settings.h"
#include "base/translatorloader.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QRadioButton>

namespace {

const char warningSource[] = QT_TRANSLATE_NOOP("SettingsPage", "Warning. Some fields are empty or incorrect.");

} // namespace

SettingsPage::SettingsPage(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);

    const QList<QRadioButton *> languageButtons =
        pnlLanguageSelection->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
    for (QRadioButton *button : languageButtons)
        connect(button, &QRadioButton::clicked, this, &SettingsPage::changeLanguage);

    connect(pathConvertVideoLineEdit, &QLineEdit::textChanged, this, &SettingsPage::onPathConvertVideoChanged);
    connect(pathPicturesLineEdit, &QLineEdit::textChanged, this, &SettingsPage::onPathPicturesChanged);
    connect(pathVideoLineEdit, &QLineEdit::textChanged, this, &SettingsPage::onPathVideoChanged);
    connect(pathMusicLineEdit, &QLineEdit::textChanged, this, &SettingsPage::onPathMusicChanged);
    connect(pathPicturesPushButton, &QPushButton::pressed, this, &SettingsPage::onPicturesPushButtonPressed);
    connect(pathVideoPushButton, &QPushButton::pressed, this, &SettingsPage::onVideoPushButtonPressed);
    connect(pathMusicPushButton, &QPushButton::pressed, this, &SettingsPage::onMusicPushButtonPressed);
    connect(pathConvertVideoPushButton, &QPushButton::pressed, this, &SettingsPage::onConvertVideoPushButtonPressed);
    connect(pathPicturesDefaultPushButton, &QPushButton::pressed, this,
            &SettingsPage::onPicturesDefaultPushButtonPressed);
    connect(pathVideoDefaultPushButton, &QPushButton::pressed, this, &SettingsPage::onVideoDefaultPushButtonPressed);
    connect(pathMusicDefaultPushButton, &QPushButton::pressed, this, &SettingsPage::onMusicDefaultPushButtonPressed);
    connect(pathConvertVideoDefaultPushButton, &QPushButton::pressed, this,
            &SettingsPage::onConvertVideoDefaultPushButtonPressed);

    // Filled at construction with an empty converter default; opening the page offers the program default.
    setPathText(pathConvertVideoLineEdit, Settings::getString(Settings::PathVideoConversion, QString()));
    setPathText(pathPicturesLineEdit, mediaPathSetting(Settings::PathPictures, QStandardPaths::PicturesLocation));
    setPathText(pathVideoLineEdit, mediaPathSetting(Settings::PathVideo, QStandardPaths::MoviesLocation));
    setPathText(pathMusicLineEdit, mediaPathSetting(Settings::PathMusic, QStandardPaths::MusicLocation));

    // A text equal to the form's empty text sends no change, so every field is checked here once.
    onPathConvertVideoChanged(pathConvertVideoLineEdit->text());
    onPathPicturesChanged(pathPicturesLineEdit->text());
    onPathVideoChanged(pathVideoLineEdit->text());
    onPathMusicChanged(pathMusicLineEdit->text());

    fillDevicesList();
    onDevicesSelectionChanged();
    connect(removeDevicesPushButton, &QPushButton::pressed, this, &SettingsPage::onRemoveDevicesPushButtonPressed);
    connect(deviceListWidget, &QListWidget::itemSelectionChanged, this, &SettingsPage::onDevicesSelectionChanged);

    pathPicturesWarningLabel->hide();
    pathVideoWarningLabel->hide();
    pathMusicWarningLabel->hide();
    pathConvertVideoWarningLabel->hide();
}

void SettingsPage::setDeviceListSource(DeviceListSource source)
{
    deviceSource = std::move(source);
    fillDevicesList();
    onDevicesSelectionChanged();
}

void SettingsPage::setTranslator(QTranslator *languageTranslator)
{
    translator = languageTranslator;
}

void SettingsPage::prepareToShow()
{
    picTopWarning->hide();
    lblWarning->hide();
    pathConvertVideoLineEdit->setText(
        QDir::toNativeSeparators(Settings::getString(Settings::PathVideoConversion, Settings::ffmpegDefaultPath())));
    fillDevicesList();
}

void SettingsPage::showLeaveRefused()
{
    picTopWarning->show();
    lblWarning->show();
    lblWarning->setStyleSheet(QStringLiteral("QLabel { color: rgb(170,0,0); }"));
}

bool SettingsPage::allPathsValid() const
{
    return picturesPathValid && videoPathValid && musicPathValid &&
           (conversionPathValid || pathConvertVideoLineEdit->text().isEmpty());
}

void SettingsPage::validateSettingsPaths()
{
    if (allPathsValid()) {
        picTopWarning->hide();
        lblWarning->hide();
        return;
    }
    picTopWarning->show();
    lblWarning->show();
    warning = QString::fromLatin1(warningSource);
    lblWarning->setText(tr(warningSource));
}

void SettingsPage::setPathWarning(QLabel *warningLabel, bool ok)
{
    if (ok) {
        warningLabel->hide();
        warningLabel->setToolTip(QString());
    } else {
        warningLabel->show();
        warningLabel->setToolTip(tr("Path does not exist."));
    }
    validateSettingsPaths();
}

bool SettingsPage::dirExists(const QString &path)
{
    return !path.isEmpty() && QDir(path).exists();
}

bool SettingsPage::isUsableProgram(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isAbsolute() && info.isFile() && info.isExecutable();
}

void SettingsPage::applyMediaPath(const QString &path, bool *validFlag, QLabel *warningLabel)
{
    *validFlag = dirExists(path);
    setPathWarning(warningLabel, *validFlag);
}

bool SettingsPage::leave()
{
    if (!allPathsValid()) {
        showLeaveRefused();
        return false;
    }
    if (!storePaths())
        MessageBox::warning(window(), Settings::writeFailureText());
    return true;
}

bool SettingsPage::storePaths()
{
    // Typing passes through folders the user never meant (each prefix of a long path), so the fields
    // are stored only here, once the user leaves the page with every one of them valid.
    bool stored = Settings::setString(Settings::PathPictures, QDir(pathPicturesLineEdit->text()).absolutePath());
    stored = Settings::setString(Settings::PathVideo, QDir(pathVideoLineEdit->text()).absolutePath()) && stored;
    stored = Settings::setString(Settings::PathMusic, QDir(pathMusicLineEdit->text()).absolutePath()) && stored;
    stored = Settings::setString(Settings::PathVideoConversion, pathConvertVideoLineEdit->text()) && stored;
    return stored;
}

void SettingsPage::onPathPicturesChanged(const QString &text)
{
    applyMediaPath(text, &picturesPathValid, pathPicturesWarningLabel);
}

void SettingsPage::onPathVideoChanged(const QString &text)
{
    applyMediaPath(text, &videoPathValid, pathVideoWarningLabel);
}

void SettingsPage::onPathMusicChanged(const QString &text)
{
    applyMediaPath(text, &musicPathValid, pathMusicWarningLabel);
}

void SettingsPage::onPathConvertVideoChanged(const QString &text)
{
    if (text.isEmpty()) {
        conversionPathValid = false;
        pathConvertVideoWarningLabel->hide();
        pathConvertVideoWarningLabel->setToolTip(QString());
    } else if (isUsableProgram(text)) {
        conversionPathValid = true;
        pathConvertVideoWarningLabel->hide();
        pathConvertVideoWarningLabel->setToolTip(QString());
    } else {
        conversionPathValid = false;
        pathConvertVideoWarningLabel->show();
        pathConvertVideoWarningLabel->setToolTip(tr("Path is not correct."));
    }
    validateSettingsPaths();
}

QString SettingsPage::defaultMediaFolder(QStandardPaths::StandardLocation location)
{
    // Linux desktops create the media folders only on request, and a default that does not exist
    // would keep a fresh user on this page: the documents folder, then the home folder stand in.
    for (const QStandardPaths::StandardLocation candidate : {location, QStandardPaths::DocumentsLocation}) {
        const QString folder = QStandardPaths::writableLocation(candidate);
        if (dirExists(folder))
            return folder;
    }
    return QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
}

QString SettingsPage::mediaPathSetting(int key, QStandardPaths::StandardLocation location) const
{
    return Settings::getString(Settings::setingKey(key), defaultMediaFolder(location));
}

void SettingsPage::setPathText(QLineEdit *edit, const QString &path)
{
    edit->setText(QDir::toNativeSeparators(path));
    edit->home(false);
}

void SettingsPage::browseMediaFolder(QLineEdit *edit, const QString &title, QStandardPaths::StandardLocation location)
{
    const QString start = dirExists(edit->text()) ? edit->text() : defaultMediaFolder(location);
    const QString chosen =
        QFileDialog::getExistingDirectory(window(), title, QDir(start).absolutePath(), QFileDialog::ShowDirsOnly);
    if (!chosen.isEmpty())
        setPathText(edit, chosen);
}

void SettingsPage::onPicturesPushButtonPressed()
{
    browseMediaFolder(pathPicturesLineEdit, tr("Select pictures path"), QStandardPaths::PicturesLocation);
}

void SettingsPage::onVideoPushButtonPressed()
{
    browseMediaFolder(pathVideoLineEdit, tr("Select video path"), QStandardPaths::MoviesLocation);
}

void SettingsPage::onMusicPushButtonPressed()
{
    browseMediaFolder(pathMusicLineEdit, tr("Select music path"), QStandardPaths::MusicLocation);
}

void SettingsPage::onConvertVideoPushButtonPressed()
{
    const QString chosen = QFileDialog::getOpenFileName(window(), tr("Select video conversion program"),
                                                        QStringLiteral("."), tr("Conversion programs (*)"));
    if (!chosen.isEmpty())
        setPathText(pathConvertVideoLineEdit, chosen);
}

void SettingsPage::onPicturesDefaultPushButtonPressed()
{
    setPathText(pathPicturesLineEdit, defaultMediaFolder(QStandardPaths::PicturesLocation));
}

void SettingsPage::onVideoDefaultPushButtonPressed()
{
    setPathText(pathVideoLineEdit, defaultMediaFolder(QStandardPaths::MoviesLocation));
}

void SettingsPage::onMusicDefaultPushButtonPressed()
{
    setPathText(pathMusicLineEdit, defaultMediaFolder(QStandardPaths::MusicLocation));
}

void SettingsPage::onConvertVideoDefaultPushButtonPressed()
{
    pathConvertVideoLineEdit->setText(Settings::ffmpegDefaultPath());
}

void SettingsPage::selectLanguageButton(const QString &lang)
{
    const QList<QRadioButton *> buttons =
        pnlLanguageSelection->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
    for (QRadioButton *button : buttons) {
        if (button->property("lang").toString() == lang) {
            button->setChecked(true);
            return;
        }
    }
    englishRadioButton->setChecked(true);
}

void SettingsPage::changeLanguage()
{
    // A click checks its button (the buttons are exclusive), so the checked one is the one clicked.
    const QList<QRadioButton *> buttons =
        pnlLanguageSelection->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
    const QRadioButton *button = nullptr;
    for (const QRadioButton *candidate : buttons) {
        if (candidate->isChecked())
            button = candidate;
    }
    if (!button)
        return;
    const QString lang = button->property("lang").toString();
    if (!Settings::setString(Settings::PreferredLanguage, lang))
        MessageBox::warning(window(), Settings::writeFailureText());
    if (translator)
        loadTranslator(translator, lang);
    emit languageChanged(lang);
}

void SettingsPage::fillDevicesList()
{
    deviceListWidget->clear();
    if (!deviceSource)
        return;
    const QList<DeviceListEntry> devices = deviceSource();
    for (const DeviceListEntry &device : devices) {
        auto *item = new QListWidgetItem(device.givenName);
        item->setData(Qt::UserRole, device.id);
        deviceListWidget->insertItem(deviceListWidget->count(), item);
    }
}

void SettingsPage::onDevicesSelectionChanged()
{
    removeDevicesPushButton->setEnabled(!deviceListWidget->selectedItems().isEmpty());
}

void SettingsPage::onRemoveDevicesPushButtonPressed()
{
    if (!MessageBox::questionYesNo(window(), tr("Do you want to remove selected devices from list?"), MessageBox::No))
        return;
    QList<quint32> ids;
    for (int row = 0; row < deviceListWidget->count(); ++row) {
        const QListWidgetItem *item = deviceListWidget->item(row);
        if (item->isSelected())
            ids << item->data(Qt::UserRole).toUInt();
    }
    if (!ids.isEmpty())
        emit removeDevicesRequest(ids);
    fillDevicesList();
}

void SettingsPage::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        lblWarning->setText(warning.isEmpty() ? tr("warning") : tr(warningSource));
    }
}
