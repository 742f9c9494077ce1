#pragma once

#include <QHostAddress>
#include <QLineEdit>

// An IPv4 address field whose mask takes four groups of three digits; Right pads the octets typed so far
// with zeros. Return and keypad Enter do the same: the line edit's own finishing of the edit.
class IPLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit IPLineEdit(QWidget *parent = nullptr);

    // Pads the octets up to and including the one at position and moves the cursor to its end.
    void padOctets(int position);

    // The address the field holds, read with the strict parser: the padded "010" is ten, not
    // octal eight. Null while the field holds no complete address.
    QHostAddress address() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
