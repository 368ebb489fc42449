#include "applicantitem.h"

#include "catalogue/iconfileguard.h"

ApplicantItem::ApplicantItem(const QString &path)
    : QStandardItem(path)
{
    setToolTip(path);
}

QVariant ApplicantItem::data(int role) const
{
    if (role != Qt::DecorationRole) {
        return QStandardItem::data(role);
    }
    if (!m_iconMade) {
        if (IconFileGuard::isDecodable(text())) {
            m_icon = QIcon(text());
        }
        m_iconMade = true;
    }
    return m_icon;
}
