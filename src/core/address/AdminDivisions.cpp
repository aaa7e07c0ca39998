#include "AdminDivisions.h"

#include "core/base/Logging.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

namespace {

// What FindCity answers besides a city's index; only kAnyCity accepts.
constexpr int kAnyCity = -1;
constexpr int kUnknownProvince = -2;
constexpr int kUnknownCity = -3;

// Short forms shorter than this would match the start of ordinary words.
constexpr qsizetype kShortestName = 2;

// A key that borrows the caller's characters: the look-ups of a walk's
// every trade then allocate nothing. Only for use while the view lives.
QString Key(QStringView view)
{
    return QString::fromRawData(view.data(), view.size());
}

// 北京市 -> 北京, 浙江省 -> 浙江, 广西壮族自治区 -> 广西壮族 and 广西, as
// addresses and the callers (who may have dropped every 省) write them.
QStringList ProvinceForms(const QString& name)
{
    QStringList forms { name };
    static const QStringList suffixes { QStringLiteral("特别行政区"), QStringLiteral("自治区"),
        QStringLiteral("省"), QStringLiteral("市") };
    for (const QString& suffix : suffixes) {
        if (!name.endsWith(suffix) || name.size() - suffix.size() < kShortestName)
            continue;
        const QString base = name.chopped(suffix.size());
        forms << base;
        // The autonomous regions are also known without their people.
        static const QStringList peoples { QStringLiteral("壮族"), QStringLiteral("回族"),
            QStringLiteral("维吾尔") };
        for (const QString& people : peoples) {
            if (base.endsWith(people) && base.size() - people.size() >= kShortestName)
                forms << base.chopped(people.size());
        }
        break;
    }
    return forms;
}

} // namespace

const AdminDivisions& AdminDivisions::National()
{
    static const AdminDivisions national = [] {
        QFile file(QStringLiteral(":/lumetra/address/divisions.txt"));
        const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        AdminDivisions divisions(text);
        // Unloaded, every check passes: a build that lost its data file must
        // not make the tool blank every address it reads.
        if (!divisions.IsLoaded())
            qCWarning(lcExtract) << "the administrative divisions could not be read from" << file.fileName()
                                 << "- addresses go unchecked";
        return divisions;
    }();
    return national;
}

AdminDivisions::AdminDivisions(QStringView text)
{
    bool municipality = false;
    bool directlyAdministered = false; // the city line groups county-level cities
    int municipalityCity = -1;
    int districtsOf = -1;
    for (QStringView line : text.tokenize(u'\n')) {
        qsizetype depth = 0;
        while (depth < line.size() && line[depth] == u'\t')
            ++depth;
        const QString name = line.mid(depth).trimmed().toString();
        if (name.isEmpty() || name.startsWith(u'#'))
            continue;
        if (depth == 0) {
            AddProvince(name);
            districtsOf = -1;
            directlyAdministered = false;
            // A municipality's city-level entries (市辖区, 县) are only
            // bookkeeping: addresses write the municipality again, or
            // either entry, and mean any of its districts.
            municipality = name.endsWith(u'市');
            if (municipality) {
                municipalityCity = AddCity(QStringLiteral("郊县"));
                for (const QString& form : ProvinceForms(name))
                    provinces_.back().cityByName.insert(form, municipalityCity);
            }
        } else if (provinces_.empty()) {
            continue;
        } else if (depth == 1) {
            directlyAdministered = name.contains(QStringLiteral("直辖县级行政区划"));
            if (municipality) {
                provinces_.back().cityByName.insert(name, municipalityCity);
                districtsOf = municipalityCity;
            } else {
                districtsOf = AddCity(name);
            }
        } else if (districtsOf >= 0) {
            cities_[districtsOf].insert(name);
            // Addresses name 仙桃市 or 济源市 where other places have a city.
            if (directlyAdministered)
                AddCity(name);
        }
    }
}

void AdminDivisions::AddProvince(const QString& name)
{
    const int index = int(provinces_.size());
    provinces_.emplace_back();
    for (const QString& form : ProvinceForms(name)) {
        provinceByName_.insert(form, index);
        longestProvinceName_ = std::max(longestProvinceName_, form.size());
    }
}

int AdminDivisions::AddCity(const QString& name)
{
    const int index = int(cities_.size());
    cities_.emplace_back();
    QHash<QString, int>& cityByName = provinces_.back().cityByName;
    cityByName.insert(name, index);
    // A full name stays with its own city should another city's short
    // form be the same.
    if (name.endsWith(u'市') && name.size() - 1 >= kShortestName && !cityByName.contains(name.chopped(1)))
        cityByName.insert(name.chopped(1), index);
    return index;
}

bool AdminDivisions::IsProvince(QStringView word) const
{
    if (word.isEmpty())
        return false;
    return !IsLoaded() || provinceByName_.contains(Key(word));
}

bool AdminDivisions::StartsWithProvince(QStringView text) const
{
    if (text.isEmpty())
        return false;
    if (!IsLoaded())
        return true;
    for (qsizetype length = std::min(longestProvinceName_, text.size()); length >= kShortestName; --length) {
        if (provinceByName_.contains(Key(text.first(length))))
            return true;
    }
    return false;
}

int AdminDivisions::FindCity(QStringView province, QStringView city) const
{
    const auto found = provinceByName_.constFind(Key(province));
    if (found == provinceByName_.cend())
        return kUnknownProvince;
    const QHash<QString, int>& cityByName = provinces_[size_t(found.value())].cityByName;
    if (cityByName.isEmpty())
        return kAnyCity;
    return cityByName.value(Key(city), kUnknownCity);
}

bool AdminDivisions::IsCityOf(QStringView province, QStringView city) const
{
    if (province.isEmpty() || city.isEmpty())
        return false;
    return !IsLoaded() || FindCity(province, city) >= kAnyCity;
}

bool AdminDivisions::IsDistrictOf(QStringView province, QStringView city, QStringView district) const
{
    if (province.isEmpty() || city.isEmpty() || district.isEmpty())
        return false;
    if (!IsLoaded())
        return true;
    const int index = FindCity(province, city);
    if (index == kAnyCity)
        return true;
    if (index < 0)
        return false;
    const QSet<QString>& districts = cities_[size_t(index)];
    return districts.isEmpty() || districts.contains(Key(district));
}
