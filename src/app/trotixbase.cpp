#include "app/trotixbase.h"

TrotixBase::TrotixBase(QWidget *parent, const char *name, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    setObjectName(name ? QString::fromLatin1(name) : QStringLiteral("TrotixBase"));
    resize(184, 245);
}
