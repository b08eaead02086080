#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class skinButton;

// The record editor, the only writer of records: eight fields, the disc
// identifier that names the file, and an optional picture. It can fill the
// subtitle and audio fields from the title playing. "OK" writes the record,
// has the browser rebuild its list and closes; a record that cannot be
// written is reported and the editor stays open with everything typed.
class frmAddDVD : public QWidget
{
    Q_OBJECT
public:
    frmAddDVD();

    void Form_Load();
    void ColorRendering();

    // Fills i1 to i8, in order.
    void setFields(const std::array<QString, 8> &texts);

    QLabel *Image1 = nullptr;
    skinButton *skinButton2 = nullptr; // "Browse for picture.."
    skinButton *btnFromDisc = nullptr; // "From disc": the title's picture on screen
    QLineEdit *i1 = nullptr;
    QLineEdit *i2 = nullptr;
    QLineEdit *i3 = nullptr;
    QLineEdit *i4 = nullptr;
    QLineEdit *DVDid = nullptr;
    QLineEdit *i5 = nullptr;
    QLineEdit *i6 = nullptr;
    skinButton *skinButton23 = nullptr; // detect subtitles
    QLineEdit *i7 = nullptr;
    skinButton *skinButton1 = nullptr; // detect audio streams
    QLineEdit *i8 = nullptr;
    skinButton *skinButton3 = nullptr; // "OK"
    QString givenPicture;              // the picture name the editor was given
    // The picture dialog's file name: kept while the editor is open, so a
    // cancelled dialog leaves the earlier choice.
    QString cdFileName;
    // The picture shown was taken from the disc, not from cdFileName.
    bool pictureFromDisc = false;

    // A new record's first guess from the disc playing: the title from its
    // volume name (selected, so typing replaces it) and, while a title plays,
    // its audio and subtitle languages. Boxes already filled are kept.
    void guessFromPlayingDisc();

    void skinButton1_Click();
    void skinButton23_Click();
    void skinButton2_Click();
    void btnFromDisc_Click();
    void skinButton3_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::array<QLineEdit *, 8> fields() const { return {i1, i2, i3, i4, i5, i6, i7, i8}; }
    QList<skinButton *> buttons() const;
    QList<QWidget *> fieldBoxes() const;
    QLineEdit *addBox(const QString &caption, const QRect &place, int indent = 0);
    void buildButtons();
    void detectLanguages(QLineEdit *target, const QString &refusal,
                         const std::function<int()> &count,
                         const std::function<QString(int)> &language);
    void detectAudio(const QString &refusal);
    void detectSubtitles(const QString &refusal);
    bool save();
    static bool titlePlays();
    // Only a title's picture can be taken.
    void enableFromDisc();

    QList<QLabel *> captions_;
};
