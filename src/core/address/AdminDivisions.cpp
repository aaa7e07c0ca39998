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

// The length of the longest name that has() knows at the start of the
// text's first word; a name shorter than kShortestName only as the word.
template <typename Has> qsizetype LongestAtStart(QStringView text, qsizetype longest, const Has& has)
{
    const qsizetype blank = text.indexOf(u' ');
    const QStringView word = blank < 0 ? text : text.first(blank);
    for (qsizetype length = std::min(longest, word.size()); length > 0; --length) {
        if ((length >= kShortestName || length == word.size()) && has(Key(word.first(length))))
            return length;
    }
    return 0;
}

// What the lists call a province's directly administered counties: the
// national list the second and third, address pickers the first.
const QStringList& DirectlyAdministeredNames()
{
    static const QStringList names { QStringLiteral("省直辖县"), QStringLiteral("省直辖县级行政区划"),
        QStringLiteral("自治区直辖县级行政区划") };
    return names;
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
        const QString picker = read(QStringLiteral(":/lumetra/address/divisions-picker.txt"));
        const QString supplement = read(QStringLiteral(":/lumetra/address/divisions-supplement.txt"));
        AdminDivisions divisions(text, { picker, supplement });
        // Unloaded, every check passes: a build that lost its data file must
        // not make the tool blank every address it reads.
        if (!divisions.IsLoaded())
            qCWarning(lcExtract) << "no administrative divisions loaded - addresses go unchecked";
        return divisions;
    }();
    return national;
}

AdminDivisions::AdminDivisions(QStringView text, std::initializer_list<QStringView> additions)
{
    Read(text);
    // The additions only add to what the list has; without the list they
    // would check every address against a handful of places.
    if (!IsLoaded())
        return;
    for (const QStringView addition : additions)
        Read(addition);
    for (const Province& province : provinces_) {
        for (auto name = province.cityByName.keyBegin(); name != province.cityByName.keyEnd(); ++name)
            longestCityName_ = std::max(longestCityName_, name->size());
    }
    for (const QSet<QString>& districts : cities_) {
        for (const QString& name : districts)
            longestDistrictName_ = std::max(longestDistrictName_, name.size());
    }
}

void AdminDivisions::Read(QStringView text)
{
    int province = -1;
    // A province an earlier list gave without cities accepts any; lines
    // that add cities to it must not narrow it to those.
    bool keepsAnyCity = false;
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
            const bool known = provinceByName_.contains(name);
            province = FindOrAddProvince(name);
            keepsAnyCity = known && provinces_[size_t(province)].cityByName.isEmpty();
            districtsOf = -1;
            directlyAdministered = false;
        } else if (province < 0 || keepsAnyCity) {
            continue;
        } else if (depth == 1) {
            Province& parent = provinces_[size_t(province)];
            directlyAdministered = name.contains(QStringLiteral("直辖县"));
            keepsAnyDistrict = false;
            if (parent.municipalityCity >= 0) {
                parent.cityByName.insert(name, parent.municipalityCity);
                districtsOf = parent.municipalityCity;
            } else if (directlyAdministered) {
                districtsOf = DirectlyAdministered(province, name);
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

int AdminDivisions::DirectlyAdministered(int province, const QString& name)
{
    QHash<QString, int>& cityByName = provinces_[size_t(province)].cityByName;
    for (const QString& known : DirectlyAdministeredNames()) {
        if (const auto found = cityByName.constFind(known); found != cityByName.cend()) {
            const int index = found.value();
            cityByName.insert(name, index);
            return index;
        }
    }
    const int index = AddCity(province, name);
    for (const QString& other : DirectlyAdministeredNames())
        cityByName.insert(other, index);
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

bool AdminDivisions::IsSameProvince(QStringView word, QStringView other) const
{
    const auto found = provinceByName_.constFind(Key(word));
    return found != provinceByName_.cend() && provinceByName_.value(Key(other), -1) == found.value();
}

bool AdminDivisions::StartsWithProvince(QStringView text) const
{
    if (text.isEmpty())
        return false;
    return !IsLoaded() || ProvinceAtStart(text) > 0;
}

qsizetype AdminDivisions::ProvinceAtStart(QStringView text) const
{
    return LongestAtStart(
        text, longestProvinceName_, [this](const QString& name) { return provinceByName_.contains(name); });
}

qsizetype AdminDivisions::CityAtStart(QStringView province, QStringView text) const
{
    const auto found = provinceByName_.constFind(Key(province));
    if (found == provinceByName_.cend())
        return 0;
    const QHash<QString, int>& cityByName = provinces_[size_t(found.value())].cityByName;
    return LongestAtStart(
        text, longestCityName_, [&](const QString& name) { return cityByName.contains(name); });
}

qsizetype AdminDivisions::DistrictAtStart(QStringView province, QStringView city, QStringView text) const
{
    const int index = FindCity(province, city);
    if (index < 0)
        return 0;
    const QSet<QString>& districts = cities_[size_t(index)];
    return LongestAtStart(
        text, longestDistrictName_, [&](const QString& name) { return districts.contains(name); });
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

bool AdminDivisions::IsSameCity(QStringView province, QStringView city, QStringView other) const
{
    const int index = FindCity(province, city);
    return index >= 0 && FindCity(province, other) == index;
}

bool AdminDivisions::TakesAnyCity(QStringView province) const
{
    return !IsLoaded() || (!province.isEmpty() && FindCity(province, {}) == kAnyCity);
}

bool AdminDivisions::TakesAnyDistrict(QStringView province, QStringView city) const
{
    if (!IsLoaded())
        return true;
    const int index = FindCity(province, city);
    return index == kAnyCity || (index >= 0 && cities_[size_t(index)].isEmpty());
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
