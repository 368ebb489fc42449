// Section texts, areas and the applicant comparison over paths the fuzzer makes up.
// The comparison may call two different sizes of equal area equivalent whatever the
// later sections say, so equivalence need not be transitive; "less" itself must stay
// irreflexive, asymmetric and transitive, or a sort could order rows by chance.
#include "app/constants.h"
#include "applicants/applicantssortfiltermodel.h"

#include "fuzzerenvironment.h"

#include <QStringListModel>

#include <cstdlib>
#include <limits>

namespace
{
class ComparisonProbe : public ApplicantsSortFilterModel
{
public:
    using ApplicantsSortFilterModel::lessThan;
};

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzerEnvironment::instance();
    if (size < 2) {
        return 0;
    }
    // First byte: the policy, two bits per section; second byte: which paths get the /usr/share/ prefix.
    QList<IconPathSection> policy;
    const int sections = data[0] & 0x7;
    for (int i = 0; i < sections; ++i) {
        policy.append(static_cast<IconPathSection>(((data[0] >> 3) + i * 3 + (data[1] >> 4)) % 5));
    }
    const QStringList raw = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), static_cast<int>(size - 2)).split(QLatin1Char('\n'));
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        QString path = raw.value(i);
        if (data[1] & (1 << i)) {
            path.prepend(QStringLiteral("/usr/share/icons/"));
        }
        paths.append(path);
    }

    for (const QString &path : qAsConst(paths)) {
        for (IconPathSection section : allIconPathSections) {
            const QString text = ApplicantsSortFilterModel::getIconPathSectionText(path, section);
            const int area = ApplicantsSortFilterModel::getIconArea(text);
            check(area >= 0);
            check(area < std::numeric_limits<int>::max() || text == QLatin1String("scalable"));
        }
        // A stored policy may hold any number; it must not reach past the sections.
        ApplicantsSortFilterModel::getIconPathSectionText(path, static_cast<IconPathSection>(7));
        const int wholeArea = ApplicantsSortFilterModel::getIconArea(path);
        check(wholeArea >= 0);
    }

    QStringListModel source(paths);
    ComparisonProbe model;
    model.setSourceModel(&source);
    model.setSortSectionsPolicy(policy);
    // Each comparison walks the folders of both paths, so every pair is compared once.
    bool less[3][3];
    for (int x = 0; x < 3; ++x) {
        for (int y = 0; y < 3; ++y) {
            less[x][y] = model.lessThan(source.index(x), source.index(y));
        }
    }
    for (int x = 0; x < 3; ++x) {
        check(!less[x][x]);
        for (int y = 0; y < 3; ++y) {
            check(!(less[x][y] && less[y][x]));
            for (int z = 0; z < 3; ++z) {
                check(!(less[x][y] && less[y][z]) || less[x][z]);
            }
        }
    }
    return 0;
}
