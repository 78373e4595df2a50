// Kestrova — identity photo maker.
#pragma once

#include "platform/Services.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

/// The save dialog: asks for a quality and writes the capture as a JPEG file
/// named after the moment into the program's folder. It stays open until a
/// save succeeds.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    Form2(Services& services, std::function<QImage()> capturePicture, QWidget* parent = nullptr);
    ~Form2() override;

    /// The quality box's tooltip: the size a save at the typed quality would
    /// write, or nothing while the quality is not one that can be saved.
    [[nodiscard]] QString qualityToolTip() const;

public slots:
    /// Escape and every other rejection are refused until the picture is saved.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void load();
    void text1Change();
    void showLevel(const QString& level);
    void command1Click();

    Services& m_services;
    std::function<QImage()> m_capturePicture;
    bool m_saveDone = false;
    /// The level the quality calls for; the level box only shows it.
    QString m_level;

    QLabel* m_label1 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QLabel* m_label2 = nullptr;
    QPushButton* m_command1 = nullptr;
};
