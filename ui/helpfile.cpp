#include "helpfile.h"

namespace helpfile {

namespace {
QString& storage()
{
    static QString name;
    return name;
}
} // namespace

QString current()
{
    return storage();
}

void set(const QString& name)
{
    storage() = name;
}

} // namespace helpfile
