#include "ShopGenerator.h"

#include "ShopAddressForms.h"
#include "ShopDrift.h"
#include "ShopMisshape.h"
#include "ShopNotes.h"
#include "ShopParcelsToShip.h"

#include <QDateTime>
#include <QSet>
#include <QTimeZone>
#include <array>
#include <random>

namespace demo {
namespace {

class Dice {
public:
    explicit Dice(quint64 seed)
        : engine_(seed)
    {
    }
    // 0 <= result < n. The modulo bias is far below anything a test could see.
    int Below(int n) { return n <= 1 ? 0 : int(engine_() % quint64(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Percent(int p) { return Below(100) < p; }
    template <typename T, size_t N> const T& Pick(const std::array<T, N>& pool)
    {
        return pool[size_t(Below(int(N)))];
    }
    QString Digits(int count)
    {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QChar(u'0' + Below(10));
        return text;
    }

private:
    std::mt19937_64 engine_;
};

struct City {
    const char16_t* name;
    std::array<const char16_t*, 2> districts;
};

struct Province {
    const char16_t* name; // as the address line shows it: "浙江省", or "上海" for a municipality
    std::array<City, 2> cities;
};

const std::array<Province, 6> kProvinces { {
    { u"浙江省", { { { u"杭州市", { u"西湖区", u"余杭区" } }, { u"宁波市", { u"鄞州区", u"海曙区" } } } } },
    { u"江苏省", { { { u"南京市", { u"玄武区", u"鼓楼区" } }, { u"苏州市", { u"姑苏区", u"吴中区" } } } } },
    { u"广东省", { { { u"广州市", { u"天河区", u"越秀区" } }, { u"深圳市", { u"南山区", u"福田区" } } } } },
    { u"四川省", { { { u"成都市", { u"武侯区", u"锦江区" } }, { u"绵阳市", { u"涪城区", u"游仙区" } } } } },
    { u"湖北省", { { { u"武汉市", { u"洪山区", u"江汉区" } }, { u"宜昌市", { u"西陵区", u"夷陵区" } } } } },
    { u"广西壮族自治区",
        { { { u"南宁市", { u"青秀区", u"兴宁区" } }, { u"桂林市", { u"象山区", u"秀峰区" } } } } },
} };

const std::array<Province, 4> kMunicipalities { {
    { u"上海", { { { u"上海市", { u"浦东新区", u"徐汇区" } }, { u"上海市", { u"静安区", u"闵行区" } } } } },
    { u"北京", { { { u"北京市", { u"朝阳区", u"海淀区" } }, { u"北京市", { u"东城区", u"丰台区" } } } } },
    { u"天津", { { { u"天津市", { u"和平区", u"南开区" } }, { u"天津市", { u"河西区", u"红桥区" } } } } },
    { u"重庆", { { { u"重庆市", { u"渝中区", u"江北区" } }, { u"重庆市", { u"沙坪坝区", u"九龙坡区" } } } } },
} };

const std::array<const char16_t*, 10> kRoads { u"文三路", u"中山路", u"人民路", u"解放路", u"建设路",
    u"长江路", u"学院路", u"南京路", u"和平街", u"花园路" };
const std::array<const char16_t*, 5> kUnits { u"2单元301室", u"5栋1202", u"B座803", u"3号楼602",
    u"东门传达室" };

const std::array<const char16_t*, 20> kSurnames { u"王", u"李", u"张", u"刘", u"陈", u"杨", u"黄", u"赵",
    u"吴", u"周", u"徐", u"孙", u"马", u"朱", u"胡", u"郭", u"何", u"林", u"罗", u"高" };
const std::array<const char16_t*, 16> kGivenNames { u"伟", u"芳", u"娜", u"敏", u"静", u"丽", u"强", u"磊",
    u"洋", u"艳", u"杰", u"秀英", u"建国", u"晓燕", u"志强", u"海燕" };
const std::array<const char16_t*, 10> kNickStems { u"小鱼儿", u"sunny", u"tb", u"快乐的猫", u"lucky_star",
    u"阿土", u"蓝天白云", u"coffee", u"糖果屋", u"walker" };

const std::array<const char16_t*, 7> kTitlesWithBlanks { u"纯棉 短袖T恤 男款", u"2024新款 碎花连衣裙",
    u"北欧风 陶瓷 马克杯", u"蓝牙耳机 无线 运动型", u"加厚 珊瑚绒毛毯 双人", u"儿童 益智积木",
    u"不锈钢保温杯 500ml 大容量" };
const std::array<const char16_t*, 8> kTitlesWithoutBlanks { u"手工陶瓷马克杯", u"真丝印花围巾",
    u"有机绿茶礼盒装", u"复古帆布双肩包", u"天然竹制砧板", u"原创设计手机壳", u"羊毛混纺针织衫",
    u"云南普洱茶饼357g" };

const std::array<const char16_t*, 4> kColours { u"白色", u"黑色", u"浅蓝色", u"米黄色" };
const std::array<const char16_t*, 4> kSizes { u"S", u"M", u"L", u"XL" };

// An item's options follow from its order number and place, not from the
// shop's dice: the shop drawn for a seed stays what it always was.
QString ItemOptions(const QString& orderNumber, int item)
{
    quint32 h = 2166136261u;
    for (const QChar c : orderNumber + QString::number(item))
        h = (h ^ c.unicode()) * 16777619u;
    const QString colour = QStringLiteral("颜色分类：") + QString::fromUtf16(kColours[(h >> 4) % kColours.size()]);
    switch (h % 3) {
    case 0:
        return {};
    case 1:
        return colour;
    default:
        return colour + QStringLiteral(" 尺码：") + QString::fromUtf16(kSizes[(h >> 8) % kSizes.size()]);
    }
}

struct Carrier {
    const char16_t* name;
    const char16_t* prefix;
    int digits;
};
const std::array<Carrier, 6> kCarriers { { { u"圆通速递", u"YT", 13 }, { u"中通快递", u"7", 11 },
    { u"申通快递", u"77", 11 }, { u"韵达快递", u"43", 11 }, { u"顺丰速运", u"SF", 12 },
    { u"EMS", u"E", 11 } } };

const QString kNotShipped = QStringLiteral("—");

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

QString Money(qint64 cents)
{
    return QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

bool IsShipped(const QString& status)
{
    return status == QStringLiteral("卖家已发货") || status == QStringLiteral("交易成功");
}

class ShopBuilder {
public:
    explicit ShopBuilder(const ShopOptions& options)
        : dice_(options.seed)
        , clock_(QDateTime(QDate(2024, 6, 28), QTime(21, 37, 5), QTimeZone::utc()).toSecsSinceEpoch())
    {
    }

    ShopTrade Trade(int i)
    {
        ShopTrade t;
        t.orderNumber = OrderNumber();
        clock_ -= dice_.Between(3 * 60, 240 * 60);
        t.time = QDateTime::fromSecsSinceEpoch(clock_, QTimeZone::utc())
                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        t.status = Status(i);
        Items(i, t);
        Buyer(i, t);
        Recipient(i, t);
        t.shippingMethod = dice_.Percent(80) ? QStringLiteral("快递")
            : dice_.Percent(50)              ? QStringLiteral("EMS")
                                             : QStringLiteral("平邮");
        Ship(t);
        t.rating = Rating(t.status);
        return t;
    }

    // Gives an unshipped trade a carrier and waybill, so it can share or
    // differ in waybill with another shipped trade.
    void Ship(ShopTrade& t)
    {
        if (!IsShipped(t.status)) {
            t.company = kNotShipped;
            t.waybill = kNotShipped;
            return;
        }
        const Carrier& carrier = dice_.Pick(kCarriers);
        t.company = Text(carrier.name);
        t.waybill = Text(carrier.prefix) + dice_.Digits(carrier.digits);
    }

    void ForceShipped(ShopTrade& t)
    {
        if (IsShipped(t.status))
            return;
        t.status = QStringLiteral("卖家已发货");
        t.rating.clear();
        Ship(t);
    }

private:
    QString OrderNumber()
    {
        for (;;) {
            const int length = dice_.Percent(70) ? dice_.Between(18, 19) : dice_.Between(16, 17);
            QString number = QString(QChar(u'1' + dice_.Below(9))) + dice_.Digits(length - 1);
            if (!orderNumbers_.contains(number)) {
                orderNumbers_.insert(number);
                return number;
            }
        }
    }

    QString Status(int i)
    {
        if (i % 10 == 2)
            return QStringLiteral("交易关闭");
        const int roll = dice_.Below(100);
        if (roll < 40)
            return QStringLiteral("交易成功");
        if (roll < 65)
            return QStringLiteral("卖家已发货");
        if (roll < 80)
            return QStringLiteral("买家已付款");
        if (roll < 90)
            return QStringLiteral("等待买家付款");
        return QStringLiteral("交易关闭");
    }

    void Items(int i, ShopTrade& t)
    {
        int count = 1;
        if (i % 10 == 1)
            count = 2;
        else if (i % 10 == 3)
            count = 3;
        else if (i % 10 != 0)
            count = dice_.Percent(75) ? 1 : dice_.Between(2, 3);
        const bool paid = t.status != QStringLiteral("等待买家付款");
        qint64 total = 0;
        for (int n = 0; n < count; ++n) {
            ShopItem item;
            const bool blanks = (n == 0 && i % 4 == 1) || (!(n == 0 && i % 4 == 0) && dice_.Percent(45));
            item.title = Text(blanks ? dice_.Pick(kTitlesWithBlanks) : dice_.Pick(kTitlesWithoutBlanks));
            // Whole yuan on some trades, cents on others.
            bool whole = i % 6 == 0 || (i % 6 != 3 && dice_.Percent(50));
            qint64 cents = qint64(dice_.Between(5, 399)) * 100;
            if (!whole)
                cents += std::array<int, 4> { 50, 90, 99, 5 }[size_t(dice_.Below(4))];
            item.price = Money(cents);
            item.quantity = dice_.Percent(70) ? 1 : dice_.Between(2, 5);
            total += cents * item.quantity;
            if (paid) {
                item.complaintLink = dice_.Percent(60);
                const int roll = dice_.Below(100);
                item.afterSales = roll < 8 ? QStringLiteral("退款成功")
                    : roll < 15            ? QStringLiteral("退款中")
                                           : QString();
            }
            item.options = ItemOptions(t.orderNumber, n);
            t.items.append(item);
        }
        const qint64 postage
            = i % 6 == 0 ? 0 : std::array<int, 6> { 0, 0, 0, 600, 1000, 1250 }[size_t(dice_.Below(6))];
        t.shipping = Money(postage);
        t.amount = Money(total + postage);
    }

    QString PersonName() { return Text(dice_.Pick(kSurnames)) + Text(dice_.Pick(kGivenNames)); }

    void Buyer(int i, ShopTrade& t)
    {
        t.buyer = Text(dice_.Pick(kNickStems)) + dice_.Digits(dice_.Between(2, 4));
        const bool named = i % 7 == 1 || (i % 7 != 0 && dice_.Percent(65));
        if (named)
            t.name = PersonName();
    }

    QString Mobile() { return QStringLiteral("1") + QChar(u"35789"[dice_.Below(5)]) + dice_.Digits(9); }

    void Recipient(int i, ShopTrade& t)
    {
        t.recipient = !t.name.isEmpty() && dice_.Percent(60) ? t.name : PersonName();
        t.mobile = Mobile();
        if (dice_.Percent(40))
            t.telephone = QStringLiteral("0") + dice_.Digits(2) + QChar(u'1' + dice_.Below(9))
                + QStringLiteral("-8") + dice_.Digits(7);

        const bool municipality = i % 4 == 2 || (i % 4 != 0 && dice_.Percent(20));
        const Province& province = municipality ? dice_.Pick(kMunicipalities) : dice_.Pick(kProvinces);
        const City& city = dice_.Pick(province.cities);
        const QString road = Text(dice_.Pick(kRoads));
        const QString number = QString::number(dice_.Between(1, 999)) + QStringLiteral("号");
        const QString unit = Text(dice_.Pick(kUnits));

        // Street texts of one to five blank-separated words.
        int words = 4;
        switch (i % 8) {
        case 0:
            words = 1;
            break;
        case 3:
            words = 2;
            break;
        case 5:
            words = 3;
            break;
        case 6:
            words = 5;
            break;
        default:
            words = dice_.Percent(70) ? 4 : 5;
        }
        // Address lines of four (no postcode), five, or six pieces (a comma
        // inside the street text).
        const int pieces = i % 6 == 1 ? 4 : i % 6 == 3 ? 6 : 5;
        const QString tail
            = pieces == 6 ? QStringLiteral("，") + unit : (dice_.Percent(50) ? unit : QString());

        QStringList parts { Text(province.name), Text(city.name), Text(dice_.Pick(city.districts)), road,
            number + tail };
        while (parts.size() > words) {
            // Fold the words together from the end of the street upwards.
            const int at = words == 4 ? 3 : parts.size() - 2;
            parts[at] += parts[at + 1];
            parts.removeAt(at + 1);
        }
        t.addressPieces = QStringList { t.recipient, t.mobile, t.telephone };
        t.addressPieces += parts.join(QLatin1Char(' ')).split(QStringLiteral("，"));
        if (pieces != 4)
            t.addressPieces.append(QChar(u'1' + dice_.Below(8)) + dice_.Digits(5));
    }

    QString Rating(const QString& status)
    {
        if (status != QStringLiteral("交易成功"))
            return QString();
        static const std::array<const char16_t*, 4> ratings { u"双方已评", u"对方已评", u"我已评价",
            u"评价" };
        return Text(dice_.Pick(ratings));
    }

    Dice dice_;
    qint64 clock_;
    QSet<QString> orderNumbers_;
};

// Sends this trade to the same place as another one.
void CopyDestination(const ShopTrade& from, ShopTrade& to)
{
    to.recipient = from.recipient;
    to.mobile = from.mobile;
    to.telephone = from.telephone;
    to.addressPieces = from.addressPieces;
}

} // namespace

const ShopTrade* Shop::FindTrade(const QString& orderNumber) const
{
    for (const ShopTrade& trade : trades) {
        if (trade.orderNumber == orderNumber)
            return &trade;
    }
    return nullptr;
}

Shop GenerateShop(const ShopOptions& options)
{
    Shop shop;
    shop.nick = options.nick;
    shop.seed = options.seed;
    shop.pages = qMax(0, options.pages);
    shop.perPage = qMax(1, options.perPage);
    ShopBuilder builder(options);
    const int count = shop.pages * shop.perPage;
    shop.trades.reserve(count);
    for (int i = 0; i < count; ++i)
        shop.trades.append(builder.Trade(i));

    // Repeat customers. Every ninth trade goes to the recipient of the
    // trade two above it in the same parcel (same waybill); every eighteenth
    // group gains a third trade. Others go to the recipient of the trade
    // right above but in a parcel of their own.
    for (int i = 0; i < count; ++i) {
        ShopTrade& trade = shop.trades[i];
        const int parcelMate = i % 9 == 4 && i >= 2 ? i - 2 : i % 18 == 5 ? i - 1 : -1;
        if (parcelMate >= 0) {
            ShopTrade& mate = shop.trades[parcelMate];
            builder.ForceShipped(mate);
            trade.status = mate.status;
            trade.rating = mate.rating;
            trade.buyer = mate.buyer;
            trade.name = mate.name;
            CopyDestination(mate, trade);
            trade.company = mate.company;
            trade.waybill = mate.waybill;
        } else if (i % 9 == 7) {
            ShopTrade& previous = shop.trades[i - 1];
            builder.ForceShipped(previous);
            builder.ForceShipped(trade);
            CopyDestination(previous, trade);
            if (trade.waybill == previous.waybill)
                trade.waybill += QLatin1Char('1');
        }
    }
    // Pages that renamed their shipping section, in a shop with nothing left
    // to ship: only the shipped trades' pages show the change.
    if (options.renamedSection)
        for (ShopTrade& t : shop.trades) {
            if (t.status == QStringLiteral("买家已付款"))
                builder.ForceShipped(t);
            t.renamedAddressLabel = true;
        }
    if (options.drift)
        ApplyDrift(shop);
    if (options.misshape)
        ApplyMisshapes(shop);
    MakeVirtualGoods(shop, options.virtualShop ? 1 : options.virtualEvery);
    if (options.virtualShop)
        for (ShopTrade& t : shop.trades)
            if (t.status != QStringLiteral("交易成功")) {
                t.status = QStringLiteral("交易成功");
                t.rating = QStringLiteral("好评");
            }
    shop.rowsInScriptFrom = options.rowsInScriptFrom;
    if (options.addressForms)
        ApplyAddressForms(shop);
    if (options.parcelsToShip)
        ApplyParcelsToShip(shop);
    ApplyOrderNotes(shop);
    return shop;
}

} // namespace demo
