#pragma once
// China's administrative divisions (provinces, prefecture-level cities,
// county-level districts), to tell whether the words of a recipient's
// address name real places under one another. Asked for every trade of a
// walk, so every check is a few hash look-ups.
//
// Names are compared as addresses write them: a province in its full or
// short form (浙江省 / 浙江, 广西壮族自治区 / 广西壮族 / 广西, 北京市 /
// 北京), a city with or without its trailing 市, a district exactly.
// Every check is false for an empty word.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>
#include <vector>

class AdminDivisions {
public:
    // The divisions compiled into the tool, read on first use.
    static const AdminDivisions& National();

    // From the text of divisions.txt: a province at the line's start, its
    // cities after one tab, their districts after two; '#' lines are
    // comments. Text without a province leaves the object unloaded, and an
    // unloaded object accepts every non-empty word.
    explicit AdminDivisions(QStringView text);

    bool IsLoaded() const { return !provinceByName_.isEmpty(); }

    bool IsProvince(QStringView word) const;
    // The text begins with a province's name in any of its forms.
    bool StartsWithProvince(QStringView text) const;
    // A municipality takes its own name, 市辖区, 县 or 郊县 as its city; a
    // county-level city the province administers directly (湖北 仙桃市)
    // counts as a city. A province listed without cities (香港) takes any.
    bool IsCityOf(QStringView province, QStringView city) const;
    // A city listed without districts (东莞市, 仙桃市) takes any; an unknown
    // city takes none.
    bool IsDistrictOf(QStringView province, QStringView city, QStringView district) const;

private:
    struct Province {
        QHash<QString, int> cityByName; // every accepted form -> cities_
    };
    // The city's index into cities_, or a negative answer: the province
    // has no cities (any goes), is unknown, or the city is.
    int FindCity(QStringView province, QStringView city) const;
    void AddProvince(const QString& name);
    int AddCity(const QString& name);

    std::vector<Province> provinces_;
    std::vector<QSet<QString>> cities_; // a city's districts; empty: any
    QHash<QString, int> provinceByName_; // every accepted form -> provinces_
    qsizetype longestProvinceName_ = 0;
};
