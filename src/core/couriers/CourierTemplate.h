#pragma once
// The columns of a courier's batch-import sheet: each a title and what
// fills it. Three templates are built in (the split form printing services
// take, the one-line form, and a short one); a seller adds their own as a
// small UTF-8 text file in the config folder, couriers/NAME.txt, one line
// per column: "title = field". The field names are the table below, the
// one place a template's words are defined.

#include "core/base/Done.h"

#include <QString>
#include <QStringList>
#include <QVector>

enum class CourierField {
    RecipientName,
    Mobile,
    Telephone,
    MobileElseTelephone, // the mobile, the telephone where there is none
    Province, // in full: 浙江省, 广西壮族自治区, 上海市
    City,
    District,
    Street, // the address after the district
    WholeAddress, // 省市区 and street in one, without blanks
    Postcode,
    Goods, // "纯棉T恤 白色 L ×2；保温杯 黑色 ×1", cut at the template's limit
    TotalQuantity,
    OrderNumbers, // the parcel's trades, "、"-joined
    BuyerMessage,
    SellerMemo,
    SenderName,
    SenderPhone,
    SenderProvince,
    SenderCity,
    SenderDistrict,
    SenderStreet,
    SenderWholeAddress,
    Empty,
    FixedText,
};

// A field's word in a template file.
struct CourierFieldWord {
    CourierField field;
    const char16_t* word;
};
// clang-format off
inline constexpr CourierFieldWord kCourierFieldWords[] = {
    { CourierField::RecipientName,       u"收件人" },
    { CourierField::Mobile,              u"手机" },
    { CourierField::Telephone,           u"电话" },
    { CourierField::MobileElseTelephone, u"手机或电话" },
    { CourierField::Province,            u"省" },
    { CourierField::City,                u"市" },
    { CourierField::District,            u"区" },
    { CourierField::Street,              u"地址" },
    { CourierField::WholeAddress,        u"完整地址" },
    { CourierField::Postcode,            u"邮编" },
    { CourierField::Goods,               u"宝贝" },
    { CourierField::TotalQuantity,       u"数量" },
    { CourierField::OrderNumbers,        u"订单编号" },
    { CourierField::BuyerMessage,        u"买家留言" },
    { CourierField::SellerMemo,          u"卖家备注" },
    { CourierField::SenderName,          u"寄件人" },
    { CourierField::SenderPhone,         u"寄件人电话" },
    { CourierField::SenderProvince,      u"寄件人省" },
    { CourierField::SenderCity,          u"寄件人市" },
    { CourierField::SenderDistrict,      u"寄件人区" },
    { CourierField::SenderStreet,        u"寄件人地址" },
    { CourierField::SenderWholeAddress,  u"寄件人完整地址" },
    { CourierField::Empty,               u"空" },
};
// clang-format on

bool IsSenderField(CourierField field);

struct CourierColumn {
    QString title;
    CourierField field = CourierField::Empty;
    QString fixedText; // for FixedText
};

// The goods text's default limit, in characters.
inline constexpr int kDefaultGoodsLimit = 100;

struct CourierTemplate {
    QString name;
    QVector<CourierColumn> columns;
    int goodsLimit = kDefaultGoodsLimit;

    QStringList Titles() const;
    bool NeedsSender() const;
};

inline const char* const kSplitAddressTemplate = "分列地址";
inline const char* const kOneLineTemplate = "整行地址";
inline const char* const kSimpleTemplate = "简单";

// The built-in templates, 分列地址 first (the default).
QVector<CourierTemplate> BuiltInCourierTemplates();

// A template file's text read as the template name; a line that is neither
// blank, a "#" comment nor "title = field" makes it unusable, and reason
// names file and line. A field is a word of kCourierFieldWords, "宝贝 N"
// (the goods cut at N characters) or a fixed text in double quotes.
// Done with the template, or the reason, for the seller, naming the file
// and line.
using CourierTemplateRead = DoneWith<CourierTemplate>;
CourierTemplateRead ParseCourierTemplate(const QString& name, const QString& text, const QString& file);

// Where the seller's own templates live: couriers/ in the config folder
// the settings file lies in.
QString CourierTemplateFolder();
// The names the seller can choose: the built-in ones, then the files of
// folder (without ".txt"), sorted; a file with a built-in's name replaces it.
QStringList CourierTemplateNames(const QString& folder = CourierTemplateFolder());
// The template of that name: the seller's file when there is one, else the
// built-in one; unusable with the reason when neither is there or the file
// is bad.
CourierTemplateRead FindCourierTemplate(const QString& name, const QString& folder = CourierTemplateFolder());
