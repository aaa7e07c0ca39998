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
        const auto read = [](const QString& path) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                return QString::fromUtf8(file.readAll());
            qCWarning(lcExtract) << "the administrative divisions could not be read from" << path;
            return QString();
        };
        const QString text = read(QStringLiteral(":/lumetra/address/divisions.txt"));
        const QString supplement = read(QStringLiteral(":/lumetra/address/divisions-supplement.txt"));
        AdminDivisions divisions(text, supplement);
        // Unloaded, every check passes: a build that lost its data file must
        // not make the tool blank every address it reads.
        if (!divisions.IsLoaded())
            qCWarning(lcExtract) << "no administrative divisions loaded - addresses go unchecked";
        return divisions;
    }();
    return national;
}

AdminDivisions::AdminDivisions(QStringView text, QStringView supplement)
{
    Read(text);
    // The supplement only adds to what the list has; without the list it
    // would check every address against a handful of places.
    if (IsLoaded())
        Read(supplement);
}

void AdminDivisions::Read(QStringView text)
{
    int province = -1;
    bool directlyAdministered = false; // the city line groups county-level cities
    int districtsOf = -1;
    // A city the list gives without districts accepts any; lines that add
    // districts to it later must not narrow it to those.
    bool keepsAnyDistrict = false;
    for (QStringView line : text.tokenize(u'\n')) {
        qsizetype depth = 0;
        while (depth < line.size() && line[depth] == u'\t')
            ++depth;
        const QString name = line.mid(depth).trimmed().toString();
        if (name.isEmpty() || name.startsWith(u'#'))
            continue;
        if (depth == 0) {
            province = FindOrAddProvince(name);
            districtsOf = -1;
            directlyAdministered = false;
        } else if (province < 0) {
            continue;
        } else if (depth == 1) {
            Province& parent = provinces_[size_t(province)];
            directlyAdministered = name.contains(QStringLiteral("直辖县级行政区划"));
            keepsAnyDistrict = false;
            if (parent.municipalityCity >= 0) {
                parent.cityByName.insert(name, parent.municipalityCity);
                districtsOf = parent.municipalityCity;
            } else if (const auto known = parent.cityByName.constFind(name);
                       known != parent.cityByName.cend()) {
                districtsOf = known.value();
                keepsAnyDistrict = cities_[size_t(districtsOf)].isEmpty();
            } else {
                districtsOf = AddCity(province, name);
            }
        } else if (districtsOf >= 0) {
            if (!keepsAnyDistrict)
                cities_[size_t(districtsOf)].insert(name);
            // Addresses name 仙桃市 or 济源市 where other places have a city.
            if (directlyAdministered && !provinces_[size_t(province)].cityByName.contains(name))
                AddCity(province, name);
        }
    }
}

int AdminDivisions::FindOrAddProvince(const QString& name)
{
    if (const auto known = provinceByName_.constFind(name); known != provinceByName_.cend())
        return known.value();
    const int index = int(provinces_.size());
    provinces_.emplace_back();
    provinces_.back().fullName = name;
    for (const QString& form : ProvinceForms(name)) {
        provinceByName_.insert(form, index);
        longestProvinceName_ = std::max(longestProvinceName_, form.size());
    }
    // A municipality's city-level entries (市辖区, 县) are only
    // bookkeeping: addresses write the municipality again, or either
    // entry, and mean any of its districts.
    if (name.endsWith(u'市')) {
        Province& municipality = provinces_.back();
        municipality.name = name;
        municipality.municipalityCity = AddCity(index, QStringLiteral("郊县"));
        for (const QString& form : ProvinceForms(name))
            municipality.cityByName.insert(form, municipality.municipalityCity);
    }
    return index;
}

int AdminDivisions::AddCity(int province, const QString& name)
{
    const int index = int(cities_.size());
    cities_.emplace_back();
    QHash<QString, int>& cityByName = provinces_[size_t(province)].cityByName;
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

QString AdminDivisions::MunicipalityOf(QStringView province) const
{
    const auto found = provinceByName_.constFind(Key(province));
    return found == provinceByName_.cend() ? QString() : provinces_[size_t(found.value())].name;
}

QString AdminDivisions::FullProvinceName(QStringView province) const
{
    const auto found = provinceByName_.constFind(Key(province));
    return found == provinceByName_.cend() ? QString() : provinces_[size_t(found.value())].fullName;
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
