#include "notifyinglabel.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class NotificationAccessible : public QAccessibleWidget {
public:
    explicit NotificationAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::Notification)
    {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* notificationFactory(const QString& /*key*/, QObject* object)
{
    if (auto* label = qobject_cast<NotifyingLabel*>(object))
        return new NotificationAccessible(label);
    return nullptr;
}

} // namespace

NotifyingLabel::NotifyingLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(&notificationFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void NotifyingLabel::announce()
{
    if (text().isEmpty() || !QAccessible::isActive())
        return;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
