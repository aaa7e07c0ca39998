#pragma once
// China's administrative divisions (provinces, prefecture-level cities,
// county-level districts), to tell whether the words of a recipient's
// address name real places under one another. Asked for every trade of a
// walk, so every check is a few hash look-ups.
//
// The tool reads two lists as witnesses, the national list and the names
// an address picker offers buyers (development zones as districts,
// 省直辖县 as a city), then a supplement: a place either list has under its
// parent is taken, only one that neither has there is not.
//
// Names are compared as addresses write them: a province in its full or
// short form (浙江省 / 浙江, 广西壮族自治区 / 广西壮族 / 广西, 北京市 /
// 北京), a city with or without its trailing 市, a district exactly.
// Every check is false for an empty word.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>
#include <initializer_list>
#include <vector>

class AdminDivisions {
public:
    // The divisions compiled into the tool, read on first use.
    static const AdminDivisions& National();

    // From the text of divisions.txt: a province at the line's start, its
    // cities after one tab, their districts after two; '#' lines are
    // comments. Text without a province leaves the object unloaded, and an
    // unloaded object accepts every non-empty word. Each addition (the
    // picker's list, the supplement), in the same layout, adds to the text:
    // a province or city it names again gains its lines (a province listed
    // without cities, a city without districts, keeps taking any). Whatever
    // a list calls the province's directly administered level (省直辖县,
    // 省直辖县级行政区划, 自治区直辖县级行政区划) is one city of all their
    // counties.
    explicit AdminDivisions(QStringView text, std::initializer_list<QStringView> additions = {});

    bool IsLoaded() const { return !provinceByName_.isEmpty(); }

    bool IsProvince(QStringView word) const;
    // Both words name one province (浙江省, 浙江), or one city of it.
    bool IsSameProvince(QStringView word, QStringView other) const;
    bool IsSameCity(QStringView province, QStringView city, QStringView other) const;
    // The text begins with a province's name in any of its forms.
    bool StartsWithProvince(QStringView text) const;
    // A municipality takes its own name, 市辖区, 县 or 郊县 as its city; a
    // county-level city the province administers directly (湖北 仙桃市)
    // counts as a city. A province listed without cities (香港) takes any.
    bool IsCityOf(QStringView province, QStringView city) const;
    // A city listed without districts (东莞市, 仙桃市) takes any; an unknown
    // city takes none.
    bool IsDistrictOf(QStringView province, QStringView city, QStringView district) const;
    // The province is listed without cities (香港), or the city without
    // districts (东莞市): any name is taken there, and none can be cut off.
    bool TakesAnyCity(QStringView province) const;
    bool TakesAnyDistrict(QStringView province, QStringView city) const;

    // The length of the longest name of a province, of a city of the
    // province, of a district of the city, at the start of the text's
    // first word (its characters up to a blank); 0 for none, and always 0
    // unloaded. A name of one character (重庆's 县) counts only as the
    // whole word, lest it cut ordinary words.
    qsizetype ProvinceAtStart(QStringView text) const;
    qsizetype CityAtStart(QStringView province, QStringView text) const;
    qsizetype DistrictAtStart(QStringView province, QStringView city, QStringView text) const;

    // The full name of a municipality (上海市 for 上海 or 上海市), the
    // city column addresses there write; empty for any other province.
    QString MunicipalityOf(QStringView province) const;
    // The province's name as the list writes it in full (浙江省 for 浙江,
    // 广西壮族自治区 for 广西): what a whole address line starts with;
    // empty for a word that is no province.
    QString FullProvinceName(QStringView province) const;

private:
    struct Province {
        QHash<QString, int> cityByName; // every accepted form -> cities_
        QString name; // a municipality's full name; empty for the others
        QString fullName; // the name as the list gives it
        int municipalityCity = -1; // a municipality's one city in cities_
    };
    // The city's index into cities_, or a negative answer: the province
    // has no cities (any goes), is unknown, or the city is.
    int FindCity(QStringView province, QStringView city) const;
    void Read(QStringView text);
    int FindOrAddProvince(const QString& name); // the province's index
    int AddCity(int province, const QString& name); // the city's index
    // The one city of the province's directly administered counties,
    // whichever of its names the line gives.
    int DirectlyAdministered(int province, const QString& name);

    std::vector<Province> provinces_;
    std::vector<QSet<QString>> cities_; // a city's districts; empty: any
    QHash<QString, int> provinceByName_; // every accepted form -> provinces_
    qsizetype longestProvinceName_ = 0;
    qsizetype longestCityName_ = 0;
    qsizetype longestDistrictName_ = 0;
};
