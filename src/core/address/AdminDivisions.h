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
    // unloaded object accepts every non-empty word. The supplement, in the
    // same layout, adds to the text: a province or city it names again
    // gains its lines (a city listed without districts keeps taking any).
    explicit AdminDivisions(QStringView text, QStringView supplement = {});

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

    std::vector<Province> provinces_;
    std::vector<QSet<QString>> cities_; // a city's districts; empty: any
    QHash<QString, int> provinceByName_; // every accepted form -> provinces_
    qsizetype longestProvinceName_ = 0;
};
