#include "ShopParcelsToShip.h"

namespace demo {
namespace {

struct ParcelForm {
    const char* name;
    const char16_t* status;
    const char16_t* street; // as the address line shows it
    // 省 市 区 地址 as a reader writes them
    const char16_t* province;
    const char16_t* city;
    const char16_t* district;
    const char16_t* address;
    bool privacyNumber;
};

const ParcelForm kForms[] = {
    { "to-ship-municipality-twice", u"买家已付款", u"上海市 上海市 浦东新区 世纪大道 88号", u"上海市",
        u"上海市", u"浦东新区", u"世纪大道 88号", false },
    { "to-ship-autonomous-region", u"等待卖家发货", u"内蒙古 呼和浩特市 新城区 新华大街 1号", u"内蒙古",
        u"呼和浩特市", u"新城区", u"新华大街 1号", false },
    { "to-ship-privacy-number", u"买家已付款", u"浙江省 杭州市 西湖区 文三路 7号", u"浙江", u"杭州市",
        u"西湖区", u"文三路 7号", true },
    // The parcel of three: this trade and the next two candidates.
    { "to-ship-parcel-of-three", u"买家已付款", u"广东省 广州市 天河区 体育西路 9号", u"广东", u"广州市",
        u"天河区", u"体育西路 9号", false },
};
constexpr int kParcelMates = 2;

bool IsCandidate(const ShopTrade& t)
{
    return t.misshape.kind.isEmpty() && t.HasShippingData() && t.addressForm.isEmpty();
}

void MakeToShip(ShopTrade& t, const ParcelForm& form)
{
    t.status = QString::fromUtf16(form.status);
    t.rating.clear();
    t.company = QStringLiteral("—");
    t.waybill = QStringLiteral("—");
    const QString postcode = QStringLiteral("100000");
    if (form.privacyNumber)
        t.mobile = QStringLiteral("170") + t.mobile.right(8) + QStringLiteral("-") + t.orderNumber.right(4);
    t.addressPieces = QStringList { t.recipient, t.mobile, QString::fromUtf16(form.street), postcode };
    t.telephone.clear();
    t.addressForm = QString::fromLatin1(form.name);
    t.addressCells = QStringList { t.recipient, t.mobile, QString(), QString::fromUtf16(form.province),
        QString::fromUtf16(form.city), QString::fromUtf16(form.district), QString::fromUtf16(form.address),
        postcode };
}

} // namespace

void ApplyParcelsToShip(Shop& shop)
{
    size_t form = 0;
    int mates = 0;
    ShopTrade* head = nullptr;
    for (ShopTrade& t : shop.trades) {
        if (!IsCandidate(t))
            continue;
        if (head && mates < kParcelMates) {
            // Same recipient, phone and address: one parcel with the head.
            t.recipient = head->recipient;
            t.mobile = head->mobile;
            MakeToShip(t, kForms[std::size(kForms) - 1]);
            ++mates;
            continue;
        }
        if (form == std::size(kForms))
            break;
        MakeToShip(t, kForms[form]);
        if (++form == std::size(kForms))
            head = &t;
    }
}

} // namespace demo
