#include "iconexamination.h"

#include "catalogue/iconsizetext.h"
#include "catalogue/iconsmodel.h"

#include <algorithm>

IconExamination IconExamination::examine(IconsModel *model, const QString &name, const QIcon &icon)
{
    IconExamination examined;
    examined.name = name;
    examined.nameInUse = icon.name();
    examined.hasThemeIcon = QIcon::hasThemeIcon(name);
    examined.sizes = IconSizeText::sortedDistinct(icon.availableSizes(QIcon::Normal, QIcon::Off));
    examined.remarks = model->iconRemarks(name);
    for (const IconRemark &remark : qAsConst(examined.remarks)) {
        examined.maximum = std::max(examined.maximum, remark.first);
    }
    return examined;
}
