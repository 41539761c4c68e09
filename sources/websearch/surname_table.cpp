#include "sources/websearch/surname_table.h"

#include <bitset>
#include <memory>
#include <string>

#include "platform/gbk.h"

namespace velmora::homepage {

const std::array<std::string_view, 5>& surnameStrings() {
    static const std::array<std::string_view, 5> k = {
        "云戚孔朱冯赵苏谢曹秦陈钱潘邹严尤褚孙葛喻华许卫李奚柏金何蒋周范水魏吕沈吴彭窦陶施韩郑郎章姜"
        "张杨王伍乐滕费俞鲁余于殷廉任韦元时罗岑袁昌卜傅毕薛柳马顾皮鹤酆苗孟卞邬贺鲍凤平齐安倪史花黄"
        "康常汤唐方贾杜熊计祁和路阮纪伏毛穆娄蓝舒成禹萧危闵屈戴狄尹江席项谈米姚童",
        "季祝宋贝邵验董茅明湛郭强梁庞臧汪包宣经虞高梅诸丁房万夏盛左贲裘支蔡林石邓缪柯田刁崔郁干戤铼"
        "单解管胡徐钮杭应卢凌邱龚洪宗莫霍骆全牧井芮荀程郗隗段羿羊嵇班山富储於邢仰棺靳惠滑秋车乌汲甄"
        "裴仲侯焦邴麴陆伊宓巴糜假宫蓬弓松封翁池索印叶祖宁乔咸宿幸武仇阴籍白司符栾",
        "赖回刘暴胥卓蒲郜景甘能蔺邰黎詹钭苍屠从蓟束厉双蒙鄂薄龙戎慕温边郤姬闻连别扈桕莘茹庄燕桑扶党"
        "习晏拣堵翟宦柴郏濮冉谭艾瞿浦牛宰贡鱼阎尚寿郦劳容充农通雍邃师棚暨向訾巩殳国居古辛厍沃文衡易"
        "阚聂利寇步慎那甑广都戈简勾越禄耿廖饶敖夔阙满庹融隆东弘终赫俟游厨竺关毋皇",
        "甫权蒯沙逯相乜尉迟认官盖查养益後鞠公鹏桓荆须红丰亓鲜锺离淳澹台宇闾丘正冶仉徒长轩辕太叔政督"
        "子尘空令狐申阳呼延晋拓跋漆雕颛楚妫百里闫夹谷端木海法舌汝父壤驷巫鄢微生南门涂良西钦第五墨商"
        "岳哈牟帅言谯兖缑福笪佴亢年伯况家爱赏后姓眯续佟琴趙錢孫吳鄭馮陳衛蔣韓楊許",
        "呂張嚴華薑謝鄒竇雲蘇範魯韋馬鳳鮑費雷賀湯羅畢郝鄔樂時齊餘蔔顧黃蕭貝計談龐紀項藍閔麻強賈婁顏"
        "鍾癞淩萬昝盧靠繆幹應賁鄧鬱員吉鈕龔锄陸榮曲儲烏穀車宮甯欒鈄曆劉龍葉韶薊溥懷從鹹賴藺喬陽蒼雙"
        "聞譚貢勞逄酈卻瑁桂壽邊冀農溫別莊閻連習魚磷終锯滿匡國廣祿闕東歐谓師鞏厙聶",
    };
    return k;
}

namespace {

// Every surname is one double-byte GBK character: the table is a set of
// 16-bit codes, so the test of a candidate costs one lookup.
std::bitset<65536> buildCodes() {
    std::bitset<65536> codes;
    for (std::string_view s : surnameStrings()) {
        std::string bytes = gbk::fromUtf8(s);
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            codes.set(static_cast<unsigned char>(bytes[i]) << 8 |
                      static_cast<unsigned char>(bytes[i + 1]));
    }
    return codes;
}

}  // namespace

bool startsWithSurname(std::string_view candidate) {
    static const auto codes = std::make_unique<const std::bitset<65536>>(buildCodes());
    if (candidate.size() < 2) return false;
    return codes->test(static_cast<unsigned char>(candidate[0]) << 8 |
                       static_cast<unsigned char>(candidate[1]));
}

}  // namespace velmora::homepage
