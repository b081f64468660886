#pragma once
// The plain form base of the main widget: a name, a size and a caption, nothing else.
#include <QWidget>

class TrotixBase : public QWidget
{
    Q_OBJECT
public:
    explicit TrotixBase(QWidget *parent = nullptr, const char *name = nullptr, Qt::WindowFlags flags = {});
};
