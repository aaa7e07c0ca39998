#include "core/address/AdminDivisions.h"
#include "core/extract/AddressLine.h"
#include "support/TestSupport.h"

class TestAdminDivisions : public QObject {
    Q_OBJECT
private slots:
    void provinces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isProvince");
        QTest::addColumn<bool>("startsWithProvince");
        for (const char* name : { "浙江省", "浙江", "台湾省", "台湾", "北京市", "北京", "广西壮族自治区",
                 "广西壮族", "广西", "内蒙古自治区", "内蒙古", "宁夏回族自治区", "宁夏", "新疆维吾尔自治区",
                 "新疆", "西藏自治区", "西藏", "香港特别行政区", "香港", "澳门" })
            QTest::newRow(name) << QString::fromUtf8(name) << true << true;
        QTest::newRow("a city") << "杭州市" << false << false;
        QTest::newRow("one character") << "浙" << false << false;
        QTest::newRow("an autonomous prefecture") << "海北藏族自治州" << false << false;
        QTest::newRow("full name, run on") << "浙江省杭州市西湖区文三路1号" << false << true;
        QTest::newRow("short name, blank") << "上海 上海市 浦东新区" << false << true;
        QTest::newRow("autonomous region") << "广西壮族自治区 南宁市" << false << true;
        QTest::newRow("municipality, run on") << "北京市朝阳区建国路" << false << true;
        QTest::newRow("street") << "中山路1号" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }
    void provinces()
    {
        QFETCH(QString, text);
        QFETCH(bool, isProvince);
        QFETCH(bool, startsWithProvince);
        QCOMPARE(AdminDivisions::National().IsProvince(text), isProvince);
        QCOMPARE(AdminDivisions::National().StartsWithProvince(text), startsWithProvince);
    }

    void places_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("district");
        QTest::addColumn<bool>("isCity");
        QTest::addColumn<bool>("isDistrict");
        QTest::newRow("short city name") << true << "浙江"
                                         << "杭州"
                                         << "西湖区" << true << true;
        QTest::newRow("municipality as city") << true << "上海"
                                              << "上海市"
                                              << "浦东新区" << true << true;
        QTest::newRow("municipality's 市辖区") << true << "上海市"
                                               << "市辖区"
                                               << "徐汇区" << true << true;
        QTest::newRow("municipality's county") << true << "重庆"
                                               << "郊县"
                                               << "城口县" << true << true;
        QTest::newRow("county under 市辖区") << true << "重庆市"
                                             << "市辖区"
                                             << "城口县" << true << true;
        QTest::newRow("other municipality") << true << "北京"
                                            << "上海市"
                                            << "浦东新区" << false << false;
        QTest::newRow("city under the wrong province") << true << "浙江省"
                                                       << "南京市"
                                                       << "玄武区" << false << false;
        QTest::newRow("district under the wrong city") << true << "浙江省"
                                                       << "杭州市"
                                                       << "鼓楼区" << true << false;
        QTest::newRow("directly administered") << true << "湖北"
                                               << "仙桃市"
                                               << "郑场镇" << true << true;
        QTest::newRow("directly administered, 河南") << true << "河南省"
                                                     << "济源市"
                                                     << "沁园街道" << true << true;
        QTest::newRow("directly administered, 海南") << true << "海南"
                                                     << "琼海市"
                                                     << "嘉积镇" << true << true;
        QTest::newRow("city without districts") << true << "广东省"
                                                << "东莞市"
                                                << "东城街道" << true << true;
        QTest::newRow("listed with itself only") << true << "甘肃"
                                                 << "嘉峪关市"
                                                 << "雄关街道" << true << true;
        QTest::newRow("region without cities") << true << "香港特别行政区"
                                               << "九龙"
                                               << "油尖旺区" << true << true;
        QTest::newRow("unknown city") << true << "浙江"
                                      << "东海市"
                                      << "西湖区" << false << false;
        QTest::newRow("unknown province") << true << "东海省"
                                          << "杭州市"
                                          << "西湖区" << false << false;
        QTest::newRow("empty district") << true << "浙江"
                                        << "杭州市"
                                        << "" << true << false;
        // From the supplement.
        QTest::newRow("雄安新区 as a city") << true << "河北省"
                                            << "雄安新区"
                                            << "容城县" << true << true;
        QTest::newRow("雄安新区 under 保定市") << true << "河北"
                                               << "保定市"
                                               << "雄安新区" << true << true;
        QTest::newRow("保定市 keeps its counties") << true << "河北"
                                                   << "保定市"
                                                   << "雄县" << true << true;
        QTest::newRow("三沙市 西沙区") << true << "海南省"
                                       << "三沙市"
                                       << "西沙区" << true << true;
        QTest::newRow("三沙市 南沙区") << true << "海南"
                                       << "三沙市"
                                       << "南沙区" << true << true;
        QTest::newRow("重庆 两江新区") << true << "重庆"
                                       << "重庆市"
                                       << "两江新区" << true << true;
        QTest::newRow("和田地区 和安县") << true << "新疆"
                                         << "和田地区"
                                         << "和安县" << true << true;
        // From the picker's list, a second witness.
        QTest::newRow("picker's 省直辖县") << true << "湖北省"
                                           << "省直辖县"
                                           << "潜江市" << true << true;
        QTest::newRow("national name of the same level") << true << "海南"
                                                         << "省直辖县级行政区划"
                                                         << "琼中黎族苗族自治县" << true << true;
        QTest::newRow("either name of the level, any province") << true << "河南省"
                                                                << "自治区直辖县级行政区划"
                                                                << "济源市" << true << true;
        QTest::newRow("picker's cities do not narrow 台湾") << true << "台湾"
                                                            << "东海市"
                                                            << "东海区" << true << true;
        QTest::newRow("neither list: an old name") << true << "广西"
                                                   << "南宁市"
                                                   << "横县" << true << false;
        QTest::newRow("unloaded: anything goes") << false << "东海省"
                                                 << "东海市"
                                                 << "东海区" << true << true;
        QTest::newRow("unloaded: not the empty word") << false << "东海省"
                                                      << ""
                                                      << "东海区" << false << false;
    }
    void places()
    {
        QFETCH(bool, loaded);
        QFETCH(QString, province);
        QFETCH(QString, city);
        QFETCH(QString, district);
        QFETCH(bool, isCity);
        QFETCH(bool, isDistrict);
        const AdminDivisions unloaded { QStringView() };
        const AdminDivisions& divisions = loaded ? AdminDivisions::National() : unloaded;
        QCOMPARE(divisions.IsLoaded(), loaded);
        QCOMPARE(divisions.IsCityOf(province, city), isCity);
        QCOMPARE(divisions.IsDistrictOf(province, city, district), isDistrict);
    }

    // A supplement adds to the list without narrowing what it takes.
    void supplementAddsToTheList_data()
    {
        QTest::addColumn<bool>("withList");
        QTest::addColumn<QString>("supplement");
        QTest::addColumn<QString>("place"); // province, city and district
        QTest::addColumn<bool>("isDistrict");
        const QString hangzhou = QStringLiteral("浙江省\n\t杭州市\n\t\t新区");
        QTest::newRow("district of a listed city") << true << hangzhou << "浙江 杭州 新区" << true;
        QTest::newRow("the city keeps its districts") << true << hangzhou << "浙江 杭州 西湖区" << true;
        QTest::newRow("nor gains others") << true << hangzhou << "浙江 杭州 余杭区" << false;
        QTest::newRow("city without districts keeps taking any") << true << "浙江省\n\t温州市\n\t\t新区"
                                                                 << "浙江 温州 鹿城区" << true;
        QTest::newRow("new city") << true << "浙江省\n\t新城市\n\t\t新区"
                                  << "浙江省 新城 新区" << true;
        QTest::newRow("municipality's district") << true << "上海市\n\t市辖区\n\t\t新区"
                                                 << "上海 上海市 新区" << true;
        QTest::newRow("new province") << true << "东海省\n\t东海市"
                                      << "东海 东海市 新区" << true;
        QTest::newRow("lines before a province are skipped") << true << "\t杭州市\n\t\t新区"
                                                             << "浙江 杭州 新区" << false;
        QTest::newRow("province without cities keeps taking any") << true << "台湾省\n\t台北市"
                                                                  << "台湾 高雄市 前镇区" << true;
        QTest::newRow("supplement without the list: unloaded")
            << false << hangzhou << "浙江 杭州 余杭区" << true;
    }
    void supplementAddsToTheList()
    {
        QFETCH(bool, withList);
        QFETCH(QString, supplement);
        QFETCH(QString, place);
        QFETCH(bool, isDistrict);
        const QStringList words = place.split(u' ');
        const QString list = QStringLiteral(
            "浙江省\n\t杭州市\n\t\t西湖区\n\t温州市\n上海市\n\t市辖区\n\t\t黄浦区\n台湾省\n");
        const AdminDivisions divisions(withList ? list : QString(), { supplement });
        QCOMPARE(divisions.IsLoaded(), withList);
        QCOMPARE(divisions.IsDistrictOf(words[0], words[1], words[2]), isDistrict);
    }

    void municipalities_data()
    {
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("municipality");
        QTest::newRow("full name") << "上海市"
                                   << "上海市";
        QTest::newRow("short name") << "天津"
                                    << "天津市";
        QTest::newRow("province") << "浙江省"
                                  << "";
        QTest::newRow("region without cities") << "香港"
                                               << "";
        QTest::newRow("unknown") << "东海市"
                                 << "";
    }
    void municipalities()
    {
        QFETCH(QString, province);
        QFETCH(QString, municipality);
        QCOMPARE(AdminDivisions::National().MunicipalityOf(province), municipality);
    }

    // The demo shop's recipients, which the checks must never turn away.
    void demoShopPlaces()
    {
        const QStringList places = QStringLiteral(
            "浙江省 杭州市 西湖区 余杭区|浙江省 宁波市 鄞州区 海曙区|江苏省 南京市 玄武区 鼓楼区|"
            "江苏省 苏州市 姑苏区 吴中区|广东省 广州市 天河区 越秀区|广东省 深圳市 南山区 福田区|"
            "四川省 成都市 武侯区 锦江区|四川省 绵阳市 涪城区 游仙区|湖北省 武汉市 洪山区 江汉区|"
            "湖北省 宜昌市 西陵区 夷陵区|广西壮族自治区 南宁市 青秀区 兴宁区|广西壮族自治区 桂林市 象山区 "
            "秀峰区|"
            "上海 上海市 浦东新区 徐汇区 静安区 闵行区|北京 北京市 朝阳区 海淀区 东城区 丰台区|"
            "天津 天津市 和平区 南开区 河西区 红桥区|重庆 重庆市 渝中区 江北区 沙坪坝区 九龙坡区")
                                       .split(u'|');
        const AdminDivisions& divisions = AdminDivisions::National();
        for (const QString& place : places) {
            const QStringList words = place.split(u' ');
            QVERIFY2(divisions.IsProvince(words[0]), qPrintable(place));
            QVERIFY2(divisions.StartsWithProvince(place), qPrintable(place));
            QVERIFY2(divisions.IsCityOf(words[0], words[1]), qPrintable(place));
            for (const QString& district : words.mid(2))
                QVERIFY2(divisions.IsDistrictOf(words[0], words[1], district),
                    qPrintable(place + " / " + district));
        }
    }

    // Every county an address picker offers, as a buyer who picked it
    // sends the line: read whole, in its own cells, and nothing to check.
    void everyPickerCountyReadsWhole()
    {
        const QByteArray data
            = testsupport::ReadFile(QStringLiteral(":/lumetra/address/divisions-picker.txt"));
        QStringList flagged;
        int counties = 0;
        QString province;
        QString city;
        for (const QString& line : QString::fromUtf8(data).split(u'\n')) {
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            if (!line.startsWith(u'\t')) {
                province = line;
            } else if (!line.startsWith(QStringLiteral("\t\t"))) {
                city = line.mid(1);
            } else {
                const QString county = line.mid(2);
                ++counties;
                const AddressReading reading
                    = ReadAddressLine(QStringLiteral("张三，13800001111，%1 %2 %3 文三路 1号，310000")
                                          .arg(province, city, county));
                if (reading.outcome != AddressReading::Outcome::Read || reading.divisionsToCheck
                    || reading.district != county || reading.address != QStringLiteral("文三路 1号"))
                    flagged << QStringList { province, city, county }.join(u' ');
            }
        }
        // The list read whole (3,479 counties in 2.1.0), not a few lines of it.
        QVERIFY2(counties > 3000, qPrintable(QString::number(counties)));
        QVERIFY2(flagged.isEmpty(),
            qPrintable(QStringLiteral("%1 of %2: ").arg(flagged.size()).arg(counties) + flagged.join(u'|')));
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestAdminDivisions)
#include "TestAdminDivisions.moc"
