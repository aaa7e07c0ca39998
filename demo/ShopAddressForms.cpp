#include "ShopAddressForms.h"

#include <functional>

namespace demo {
namespace {

// The columns 收件人 to 邮编 as a reader writes them.
struct Cells {
    QString mobile;
    QString telephone;
    QString province;
    QString city;
    QString district;
    QString address;
};

struct AddressForm {
    const char* name;
    // The line's pieces for a trade of this recipient, mobile and postcode,
    // and the cells they read as.
    std::function<QStringList(const ShopTrade&, const QString& postcode, Cells&)> pieces;
};

QString Masked(const QString& mobile)
{
    return mobile.left(3) + QStringLiteral("****") + mobile.right(4);
}

// A virtual number of the 170/171 ranges, made from the trade's mobile.
QString VirtualNumber(const ShopTrade& t, const char* prefix)
{
    return QString::fromLatin1(prefix) + t.mobile.right(8);
}

// A street of the usual four words: province, city, district, the rest.
QString Street(Cells& cells, const char* province, const char* city, const char* district, const char* rest)
{
    cells.province = QString::fromUtf8(province).remove(QStringLiteral("省"));
    cells.city = QString::fromUtf8(city);
    cells.district = QString::fromUtf8(district);
    cells.address = QString::fromUtf8(rest);
    return QStringList { QString::fromUtf8(province), cells.city, cells.district, cells.address }.join(u' ');
}

const AddressForm kForms[] = {
    { "masked-mobile-after-street",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = Masked(t.mobile);
            return QStringList { t.recipient, Street(c, "浙江省", "杭州市", "西湖区", "文三路7号"), c.mobile,
                postcode };
        } },
    { "masked-mobile-before-street",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = Masked(t.mobile);
            return QStringList { t.recipient, c.mobile, Street(c, "江苏省", "南京市", "鼓楼区", "中山路 8号"),
                postcode };
        } },
    { "mobile-plus-86",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, QStringLiteral("+86 ") + t.mobile,
                Street(c, "广东省", "深圳市", "南山区", "科技园 2栋"), postcode };
        } },
    { "mobile-86-dash",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            c.telephone = t.telephone;
            return QStringList { t.recipient, QStringLiteral("86-") + t.mobile, t.telephone,
                Street(c, "四川省", "成都市", "武侯区", "人民南路 4段"), postcode };
        } },
    { "mobile-0086",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, QStringLiteral("0086") + t.mobile,
                Street(c, "湖北省", "武汉市", "洪山区", "珞喻路 1037号"), postcode };
        } },
    { "mobile-spaced",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            const QString spaced = t.mobile.left(3) + u' ' + t.mobile.mid(3, 4) + u' ' + t.mobile.right(4);
            return QStringList { t.recipient, spaced,
                Street(c, "浙江省", "宁波市", "鄞州区", "天童南路 588号"), postcode };
        } },
    { "virtual-number-dash-extension",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = VirtualNumber(t, "170") + QStringLiteral("-") + t.orderNumber.right(4);
            return QStringList { t.recipient, c.mobile,
                Street(c, "江苏省", "苏州市", "姑苏区", "人民路 100号"), postcode };
        } },
    { "virtual-number-zhuan-extension",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = VirtualNumber(t, "171") + QStringLiteral("转") + t.orderNumber.right(4);
            return QStringList { t.recipient, Street(c, "广西壮族自治区", "南宁市", "青秀区", "民族大道 1号"),
                postcode, c.mobile };
        } },
    { "room-number-after-street",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            const QString street = Street(c, "广东省", "广州市", "天河区", "体育西路 9号");
            c.address += QStringLiteral("3-2-1201");
            return QStringList { t.recipient, t.mobile, street, QStringLiteral("3-2-1201"), postcode };
        } },
    { "municipality-shanghai",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            Street(c, "上海市", "上海市", "浦东新区", "世纪大道88号");
            return QStringList { t.recipient, t.mobile, QStringLiteral("上海市 浦东新区 世纪大道88号"),
                postcode };
        } },
    { "municipality-tianjin",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            Street(c, "天津市", "天津市", "和平区", "南京路 100号");
            return QStringList { t.recipient, t.mobile, QStringLiteral("天津市 和平区 南京路 100号"),
                postcode };
        } },
    { "municipality-chongqing",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            Street(c, "重庆市", "重庆市", "渝中区", "解放碑 8号");
            return QStringList { t.recipient, t.mobile, QStringLiteral("重庆市 渝中区 解放碑 8号"),
                postcode };
        } },
    { "xiongan-as-city",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, t.mobile,
                Street(c, "河北省", "雄安新区", "容城县", "奥威路 8号"), postcode };
        } },
    { "xiongan-under-baoding",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, t.mobile,
                Street(c, "河北省", "保定市", "雄安新区", "容城县 奥威路 8号"), postcode };
        } },
    { "sansha-xisha",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, t.mobile,
                Street(c, "海南省", "三沙市", "西沙区", "永兴岛 北京路 1号"), postcode };
        } },
    // Places as an address picker names them: zones as districts, 省直辖县 as the city.
    { "picker-development-zone",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, t.mobile,
                Street(c, "河北省", "秦皇岛市", "经济技术开发区", "海滨路 1号"), postcode };
        } },
    { "picker-high-tech-zone",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, t.mobile,
                Street(c, "江苏省", "苏州市", "高新区", "狮山路 88号"), postcode };
        } },
    { "picker-zone-with-region",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, t.mobile,
                Street(c, "内蒙古自治区", "阿拉善盟", "内蒙古阿拉善经济开发区", "乌斯太镇 1号"), postcode };
        } },
    { "picker-directly-administered-hubei",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, t.mobile,
                Street(c, "湖北省", "省直辖县", "潜江市", "园林路 1号"), postcode };
        } },
    { "picker-directly-administered-hainan",
        [](const ShopTrade& t, const QString& postcode, Cells& c) {
            c.mobile = t.mobile;
            return QStringList { t.recipient, t.mobile,
                Street(c, "海南省", "省直辖县", "琼中黎族苗族自治县", "营根镇 1号"), postcode };
        } },
};

} // namespace

void ApplyAddressForms(Shop& shop)
{
    size_t form = 0;
    for (ShopTrade& t : shop.trades) {
        if (form == std::size(kForms))
            break;
        if (!t.misshape.kind.isEmpty() || !t.HasShippingData())
            continue;
        // The postcode the line had, or one of its own.
        const QString postcode
            = t.addressPieces.size() >= 5 ? t.addressPieces.last() : QStringLiteral("310012");
        Cells cells;
        t.addressPieces = kForms[form].pieces(t, postcode, cells);
        t.mobile = cells.mobile;
        t.telephone = cells.telephone;
        t.addressForm = QString::fromLatin1(kForms[form].name);
        t.addressCells = QStringList { t.recipient, cells.mobile, cells.telephone, cells.province, cells.city,
            cells.district, cells.address, postcode };
        ++form;
    }
}

} // namespace demo
