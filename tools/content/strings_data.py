"""Texts of the game in its three languages, side by side.

generate.py writes them to resources/strings/<lang>.lproj/Localizable.strings
(an XML property list whose root maps each key to its text).

ARGS names the printf-style arguments each format key is filled with, by
position: "@" text, "u" unsigned integer, "d" signed integer, "f" double.
A translation may reorder them with positional forms (%2$@ before %1$u).
Keys missing from ARGS take no argument and must not contain "%".
"""

ARGS = {
    "FormatStartBodyLong": ["u", "u"],   # hours, minutes
    "FormatStartBody": ["u", "u"],       # minutes, seconds
    "FormatStartBodyMin": ["u"],         # minutes
    "FormatStartBodySec": ["u"],         # seconds
    "PostBonusLeft": ["@"],              # time left, "hh:mm:ss"
    "FormatStageBoss": ["@"],            # boss name, or "????"
    "FormatStageMonster": ["d"],         # the dungeon's own monsters hunted
    "FormatMapUnlock": ["u"],            # monster id whose hunt opens the map
    "FormatSuspend": ["@"],              # current dungeon name
    "FormatLogLose": ["u", "@"],         # person number, monster name or "BOSS"
    "FormatLogEquip": ["@", "@"],        # lose sentence, missing equipment name
    "FormatUnlockCondition": ["@", "u", "d"],  # monster name, hunts needed, hunts missing
    "FormatBuyTitle": ["@"],             # equipment name
    "FormatBuyGoldItem": ["f"],          # gold rate
    "FormatBuySpeedItem": ["f"],         # speed rate
    "FormatDamagedSave": ["@"],          # the file name the damaged save was kept under
    "FormatRestored": ["u"],             # purchases given back by the store
    "FormatExportDone": ["@", "@"],      # the copy's file name, its folder
    "FormatImportNewer": ["@"],          # the version that wrote the file
    "FormatImportNoFiles": ["@"],        # the folder imports are looked for in
    "FormatImportConfirm": ["@"],        # the file name
    "FormatImportMissing": ["@"],        # the file asked for
    "FormatImportNextStart": ["@"],      # the file name
    "FormatDamagedSaveBackup": ["@", "@"],  # where the damaged save is kept, the backup's date
}

STRINGS = {
    # --- explore cycle -----------------------------------------------------
    "FormatStartBodyLong": (
        "Send the party out? The expedition takes %u h %u min.",
        "探検に出発しますか？ 探検には%u時間%u分かかります。",
        "要出发探险吗？ 探险需要%u小时%u分钟。"),
    "FormatStartBody": (
        "Send the party out? The expedition takes %u min %u s.",
        "探検に出発しますか？ 探検には%u分%u秒かかります。",
        "要出发探险吗？ 探险需要%u分%u秒。"),
    "FormatStartBodyMin": (
        "Send the party out? The expedition takes %u min.",
        "探検に出発しますか？ 探検には%u分かかります。",
        "要出发探险吗？ 探险需要%u分钟。"),
    "FormatStartBodySec": (
        "Send the party out? The expedition takes %u seconds.",
        "探検に出発しますか？ 探検には%u秒かかります。",
        "要出发探险吗？ 探险需要%u秒。"),
    "Notification": (
        "The whole party is back! Come and see what they brought home.",
        "探検隊が全員帰ってきました！ 持ち帰ったものを見に行きましょう。",
        "探险队全员归来！ 快来看看他们带回了什么。"),
    "NotificationLong": (
        "The king misses his explorers. Shall we set out on a new expedition?",
        "王様が探検隊を待っています。 新しい探検に出かけませんか？",
        "国王在等他的探险队。 要不要开始新的探险？"),
    "Suspend": (
        "Call the party back now? Whatever they find on the way will be lost.",
        "探検を中断して呼び戻しますか？ 見つけたものは持ち帰れません。",
        "要中断探险，召回队伍吗？ 途中的收获将会丢失。"),
    "SwipeTutorial": (
        "Touch the explorers, or swipe across them, to collect what they brought home!",
        "隊員をタッチするか指でなぞって、持ち帰ったものを受け取りましょう！",
        "点击或滑过队员，收下他们带回来的东西吧！"),
    "Explore2Tutorial": (
        "Well done! Explore again and again: new monsters show up the more you explore, and the boss waits at the end.",
        "よくできました！ 何度も探検しましょう。探検するほど新しいモンスターが現れ、最後にはボスが待っています。",
        "干得好！ 多去探险吧。探险越多，新的怪物就越多，最后头目在等着你。"),
    "MemberAdded": (
        "A new explorer has joined the party!",
        "新しい隊員が仲間になりました！",
        "新队员加入了探险队！"),
    "AppClose": (
        "Expeditions take a while. You may close the game: the party keeps exploring and lets you know when it is back.",
        "探検には時間がかかります。ゲームを閉じても探検は続き、帰ってきたらお知らせします。",
        "探险需要一些时间。关掉游戏也没关系，队伍会继续探险，回来时会通知你。"),
    "LeftTime": (
        "Time left",
        "残り時間",
        "剩余时间"),
    "BossHunted": (
        "We beat the boss!",
        "ボスを倒した！",
        "打败了头目！"),

    # --- rating prompt -------------------------------------------------------
    "RateTitle": (
        "Enjoying Royal Expedition?",
        "王国探検隊を楽しんでいますか？",
        "喜欢王国探险队吗？"),
    "RateBody": (
        "If you enjoy the expedition, would you rate the game? It only takes a moment. Thank you!",
        "楽しんでいただけたら、評価をお願いします。すぐに終わります。ありがとうございます！",
        "如果你喜欢这个游戏，请给它评个分吧。只需要一点时间。谢谢！"),
    "RateButton": (
        "Rate it now",
        "評価する",
        "现在评分"),
    "RemindButton": (
        "Remind me later",
        "あとで",
        "以后再说"),
    "CancelButton": (
        "No, thanks",
        "評価しない",
        "不了，谢谢"),

    # --- sharing -------------------------------------------------------------
    "PostBonus": (
        "Post about the game and a new explorer will join your party!",
        "投稿すると新しい隊員が仲間になります！",
        "分享游戏，就会有新队员加入！"),
    "PostBonusMax": (
        "Your party is at full strength. Thanks for sharing!",
        "隊員はもう満員です。シェアしてくれてありがとう！",
        "队伍已经满员了。谢谢分享！"),
    "PostBonusLeft": (
        "Next new explorer in %@",
        "次の隊員が仲間になるまで あと%@",
        "距离下一位队员加入还有%@"),
    "Cancel": (
        "Cancel",
        "キャンセル",
        "取消"),

    # --- buttons and marks of the screens ------------------------------------
    "Explore": (
        "Explore",
        "探検",
        "探险"),
    "Report": (
        "Report",
        "報告",
        "报告"),
    "Next": (
        "Next",
        "次へ",
        "下一页"),
    "Close": (
        "Close",
        "閉じる",
        "关闭"),
    "OK": (
        "OK",
        "OK",
        "确定"),
    "TouchToContinue": (
        "touch to continue",
        "タッチで次へ",
        "点击继续"),
    "SaveFailed": (
        "The game cannot be saved: the data folder cannot be written (it may be read-only or full). Your progress is kept while the game runs, and it keeps trying.",
        "セーブできません。データフォルダに書き込めません（読み取り専用か、空きがないかもしれません）。進行はゲーム中は保たれ、セーブを続けて試みます。",
        "无法保存游戏：数据文件夹无法写入（可能是只读或已满）。游戏运行期间进度会保留，并会继续尝试保存。"),
    "FormatDamagedSave": (
        "The old save could not be read. It is kept aside as %@ and a new game begins.",
        "前のセーブデータが読めませんでした。%@ として残し、新しいゲームを始めます。",
        "旧存档无法读取，已另存为 %@，将开始新游戏。"),
    "FormatDamagedSaveBackup": (
        "The save could not be read. It is kept aside as %1$@. Load the backup of %2$@ instead?",
        "セーブデータが読めませんでした。%1$@ として残してあります。かわりに %2$@ のバックアップを読み込みますか？",
        "存档无法读取，已另存为 %1$@。要改为读取 %2$@ 的备份吗？"),
    "StartAfresh": (
        "New game",
        "新しく始める",
        "重新开始"),
    "LoadBackup": (
        "Load backup",
        "バックアップを読む",
        "读取备份"),
    "BackupLoaded": (
        "The backup is loaded. The party is back where it was that day.",
        "バックアップを読み込みました。探検隊はその日の状態に戻りました。",
        "备份已读取，探险队回到了那天的状态。"),
    "ExportSave": (
        "Export save",
        "セーブを書き出す",
        "导出存档"),
    "ImportSave": (
        "Import save",
        "セーブを読み込む",
        "导入存档"),
    "FormatExportDone": (
        "A copy of your game is saved as %1$@ in the folder %2$@.",
        "ゲームのコピーを %1$@ としてフォルダ %2$@ に保存しました。",
        "游戏副本已保存为 %1$@，位于文件夹 %2$@。"),
    "ExportNoSave": (
        "There is no saved game to copy yet.",
        "コピーできるセーブデータがまだありません。",
        "还没有可以复制的存档。"),
    "SaveCopyNotWritten": (
        "The saved game could not be written: the folder cannot be written (it may be read-only or full). Nothing was changed.",
        "セーブデータを書き込めませんでした。フォルダに書き込めません（読み取り専用か、空きがないかもしれません）。何も変わっていません。",
        "无法写入存档：文件夹无法写入（可能是只读或已满）。什么都没有改变。"),
    "FormatImportNoFiles": (
        "There is no saved game to import. Put an exported file in the folder %@ and try again.",
        "読み込めるセーブデータがありません。書き出したファイルをフォルダ %@ に置いて、もう一度どうぞ。",
        "没有可以导入的存档。请把导出的文件放到文件夹 %@ 中再试一次。"),
    "ImportChoose": (
        "Which saved game shall the king take up?",
        "どのセーブデータを読み込みますか？",
        "要读取哪个存档？"),
    "FormatImportConfirm": (
        "Load %@? It takes the place of your game at the next start; your game now is kept as a backup.",
        "%@ を読み込みますか？ 次に起動したときに今のゲームと入れ替わります。今のゲームはバックアップに残ります。",
        "要读取 %@ 吗？ 下次启动时它会替换现在的游戏，现在的游戏会保留为备份。"),
    "FormatImportNextStart": (
        "%@ will be loaded the next time the game starts. Your game until then is kept as a backup.",
        "%@ は次に起動したときに読み込まれます。それまでのゲームはバックアップに残ります。",
        "%@ 将在下次启动游戏时读取。在那之前的游戏会保留为备份。"),
    "ImportLoaded": (
        "The imported saved game is loaded. The game before it is kept as a backup.",
        "読み込んだセーブデータで始めます。前のゲームはバックアップに残してあります。",
        "已读取导入的存档。之前的游戏已保留为备份。"),
    "FormatImportMissing": (
        "There is no file %@. Nothing was changed.",
        "ファイル %@ が見つかりません。何も変わっていません。",
        "找不到文件 %@。什么都没有改变。"),
    "ImportUnreadable": (
        "This file is not a saved game that can be read: it is damaged, too large or nested too deep. Nothing was changed.",
        "このファイルは読めるセーブデータではありません（壊れているか、大きすぎるか、入れ子が深すぎます）。何も変わっていません。",
        "这个文件不是可以读取的存档：已损坏、过大或嵌套过深。什么都没有改变。"),
    "ImportOtherGame": (
        "This file is not a saved game of Royal Expedition. Nothing was changed.",
        "このファイルは王国探検隊のセーブデータではありません。何も変わっていません。",
        "这个文件不是王国探险队的存档。什么都没有改变。"),
    "FormatImportNewer": (
        "This saved game was written by a newer version of the game (%@). Update the game to load it. Nothing was changed.",
        "このセーブデータは新しいバージョンのゲーム（%@）で書かれています。ゲームを更新してから読み込んでください。何も変わっていません。",
        "这个存档由更新版本的游戏（%@）写入。请先更新游戏再读取。什么都没有改变。"),
    "ImportWrongKinds": (
        "Some values in this saved game are not of the kinds the game keeps. Nothing was changed.",
        "このセーブデータには、ゲームが使わない種類の値が入っています。何も変わっていません。",
        "这个存档中有些值不是游戏保存的类型。什么都没有改变。"),
    "ToTwitter": (
        "Post to Twitter",
        "Twitterに投稿",
        "发布到Twitter"),
    "Post1": (
        "Our little kingdom sets out on an expedition! #RoyalExpedition",
        "小さな王国の探検隊、出発！ #王国探検隊",
        "小小王国的探险队出发啦！ #王国探险队"),
    "Post2": (
        "My explorers just came home carrying a monster twice their size. #RoyalExpedition",
        "探検隊が自分の倍もあるモンスターを担いで帰ってきた！ #王国探検隊",
        "我的队员扛着比自己大两倍的怪物回来了！ #王国探险队"),
    "Post3": (
        "The king sends his party into the dungeons. Gold or coffins? #RoyalExpedition",
        "王様の命令でダンジョンへ。持ち帰るのはゴールドか、それとも棺桶か？ #王国探検隊",
        "奉国王之命深入地下城。带回来的是金币还是棺材？ #王国探险队"),
    "AppUrl": (
        "https://example.com/royalexpedition/",
        "https://example.com/royalexpedition/",
        "https://example.com/royalexpedition/"),
    "PostSucceed": (
        "Posted! Thank you for sharing.",
        "投稿しました！ シェアしてくれてありがとう。",
        "发布成功！ 谢谢分享。"),
    "TwitterAlertTitle": (
        "No Twitter account",
        "Twitterアカウントがありません",
        "没有Twitter账户"),
    "TwitterAlertBody": (
        "Add a Twitter account in the device's settings, then try again.",
        "端末の設定でTwitterアカウントを登録してから、もう一度お試しください。",
        "请先在设备设置中添加Twitter账户，然后再试一次。"),

    # --- main menu and story -------------------------------------------------
    "FirstKanoke": (
        "Oh no, an explorer came home in a coffin! That monster was too strong. Buy equipment at the shop and try again.",
        "隊員が棺桶で帰ってきてしまった！ モンスターが強すぎたようです。ショップで装備を買って再挑戦しましょう。",
        "糟糕，队员躺在棺材里被抬回来了！ 那个怪物太强了。去商店买装备再挑战吧。"),
    "UnlockedShop": (
        "The shop is open!",
        "ショップが開いた！",
        "商店开张了！"),
    "UnlockedNewMap": (
        "A new map is open!",
        "新しいマップが開いた！",
        "新地图开放了！"),
    "MangaNewDungeon": (
        "A new dungeon is open!",
        "新しいダンジョンが開いた！",
        "新的地下城开放了！"),
    "MangaNewWeapons": (
        "New equipment at the shop!",
        "ショップに新しい装備が入荷！",
        "商店有新装备上架了！"),
    "ChatTitle": (
        "Royal Expedition Chat",
        "王国探検隊チャット",
        "王国探险队聊天室"),

    # --- collection, map list, battle report, settings -----------------------
    "SavedPicture": (
        "The picture was saved to your photo album.",
        "写真アルバムに保存しました。",
        "图片已保存到相册。"),
    "FormatStageBoss": (
        "Boss: %@",
        "ボス：%@",
        "头目：%@"),
    "FormatStageMonster": (
        "Monsters: %d/6",
        "モンスター：%d/6",
        "怪物：%d/6"),
    "FormatMapUnlock": (
        "Beat monster No.%u to open this map.",
        "No.%uのモンスターを倒すと開放されます。",
        "打败No.%u的怪物后开放此地图。"),
    "FormatSuspend": (
        "The party is exploring %@. Call it back and change the map? Whatever it finds will be lost.",
        "%@を探検中です。探検を中断してマップを変更しますか？ 見つけたものは持ち帰れません。",
        "队伍正在%@探险。要中断探险并更换地图吗？ 途中的收获将会丢失。"),
    "FormatLogLose": (
        "Explorer %u was beaten by %@.",
        "隊員%uは%@に敗れた。",
        "队员%u被%@打败了。"),
    "FormatLogEquip": (
        "%@ Needed: %@",
        "%@（%@が必要）",
        "%@（需要%@）"),
    "NotifyLabel": (
        "Notification sound",
        "通知音",
        "通知声音"),
    "PushSoundSetting": (
        "The notification sound has been switched.",
        "通知音の設定を変更しました。",
        "通知声音设置已更改。"),

    # --- shop and purchases --------------------------------------------------
    "PurchasedKana": (
        "Owned",
        "購入済み",
        "已购买"),
    "Purchased": (
        "You already own this.",
        "すでに持っています。",
        "你已经拥有这件装备了。"),
    "NoGold": (
        "Not enough gold.",
        "ゴールドが足りません。",
        "金币不足。"),
    "FormatUnlockCondition": (
        "Hunt %@ %u times to unlock (%d to go).",
        "%@を%u回倒すと購入できます（あと%d回）。",
        "狩猎%@ %u次后解锁（还差%d次）。"),
    "FormatBuyTitle": (
        "You got the %@!",
        "%@を手に入れた！",
        "获得了%@！"),
    "FormatBuyGoldItem": (
        "Gold bonus x%1.2f! Monsters now bring home more gold.",
        "ゴールドボーナス x%1.2f！ モンスターから得られるゴールドが増えます。",
        "金币加成 x%1.2f！ 从怪物身上获得的金币增加了。"),
    "FormatBuySpeedItem": (
        "Speed bonus x%1.2f! The party now explores faster.",
        "スピードボーナス x%1.2f！ 探検にかかる時間が短くなります。",
        "速度加成 x%1.2f！ 探险所需的时间缩短了。"),
    "BuyEquip": (
        "Now the party can stand up to stronger monsters!",
        "これで強いモンスターにも立ち向かえる！",
        "现在可以对付更强的怪物了！"),
    "ShopTitle": (
        "Equipment Shop",
        "装備ショップ",
        "装备商店"),
    "ShopClose": (
        "Close",
        "とじる",
        "关闭"),
    "BuyButton": (
        "Buy",
        "買う",
        "购买"),
    "BuyOK": (
        "Buy it",
        "購入する",
        "购买"),
    "PurchaseErrorTitle": (
        "Purchase error",
        "購入エラー",
        "购买失败"),
    "PurchaseErrorBody": (
        "Purchases are not possible right now. Check that purchases are allowed on this device and try again.",
        "現在購入できません。端末で購入が許可されているか確認して、もう一度お試しください。",
        "现在无法购买。请确认此设备允许购买后再试一次。"),
    "PurchaseErrorInvalid": (
        "This item is not available in the store.",
        "このアイテムはストアで販売されていません。",
        "商店中没有这件商品。"),
    "PurchaseErrorRequest": (
        "The store sent no item. Please try again later.",
        "ストアから商品情報を取得できませんでした。しばらくしてからお試しください。",
        "未能从商店获取商品信息。请稍后再试。"),
    "PurchaseRestoreTitle": (
        "Restored",
        "復元しました",
        "已恢复"),
    "PurchaseRestoreBody": (
        "Your earlier purchase has been restored.",
        "以前の購入を復元しました。",
        "之前的购买已恢复。"),
    "AlertMsgTimeOut": (
        "The store did not answer. Please try again later.",
        "ストアから応答がありません。しばらくしてからお試しください。",
        "商店没有响应。请稍后再试。"),
    # --- the store's own sheet and errors (platform) ------------------------
    "StoreSheetTitle": (
        "Confirm your purchase",
        "購入の確認",
        "确认购买"),
    "StoreSheetBuy": (
        "Buy",
        "購入する",
        "购买"),
    "StoreSheetCancel": (
        "Cancel",
        "キャンセル",
        "取消"),
    "StoreSheetSandbox": (
        "Sandbox: no money is charged",
        "サンドボックス：お金はかかりません",
        "沙盒环境：不会扣款"),
    "StoreErrorFailed": (
        "The store could not complete the purchase.",
        "ストアで購入を完了できませんでした。",
        "商店无法完成这次购买。"),
    "StoreErrorCancelled": (
        "The purchase was cancelled.",
        "購入はキャンセルされました。",
        "购买已取消。"),
    "StoreErrorNotAllowed": (
        "Purchases are switched off on this device.",
        "この端末では購入が許可されていません。",
        "此设备不允许购买。"),
    "StoreErrorInvalid": (
        "The store does not sell this item.",
        "ストアはこの商品を販売していません。",
        "商店不出售这件商品。"),
    # --- the post's progress and the game list -----------------------------
    "Loading...": (
        "Loading...",
        "読み込み中...",
        "加载中..."),
    "GameListTitle": (
        "More games",
        "ほかのゲーム",
        "更多游戏"),
    "GameListBannerWaiting": (
        "More games",
        "ほかのゲーム",
        "更多游戏"),
    # --- leaderboards and the post composer (platform screens) ---------------
    "LeaderboardTitle": (
        "Rankings",
        "ランキング",
        "排行榜"),
    "LeaderboardScopeToday": (
        "Today",
        "今日",
        "今天"),
    "LeaderboardScopeWeek": (
        "This week",
        "今週",
        "本周"),
    "LeaderboardScopeAllTime": (
        "All time",
        "全期間",
        "全部"),
    "LeaderboardTreasureHunter": (
        "Treasure Hunter: gold earned",
        "トレジャーハンター：獲得ゴールド",
        "寻宝猎人：获得金币"),
    "LeaderboardMonsterHunter": (
        "Monster Hunter: monsters hunted",
        "モンスターハンター：討伐数",
        "怪物猎人：讨伐数"),
    "LeaderboardButaHunter": (
        "Puffpig Hunter",
        "プフブタハンター",
        "噗噗猪猎人"),
    "LeaderboardFlamebirdHunter": (
        "Flamebird Hunter",
        "フレイムバードハンター",
        "火焰鸟猎人"),
    "LeaderboardBest": (
        "Best",
        "ベスト",
        "最佳"),
    "LeaderboardLast": (
        "Last",
        "最新",
        "最近"),
    "LeaderboardUnreadable": (
        "The rankings cannot be read right now.",
        "ランキングを読み込めません。",
        "暂时无法读取排行榜。"),
    "LeaderboardClose": (
        "Close",
        "閉じる",
        "关闭"),
    "ComposeTitle": (
        "New post",
        "新しい投稿",
        "新帖子"),
    "ComposePost": (
        "Post",
        "投稿する",
        "发布"),

    # --- list screens and settings: titles, buttons, the player's own choices ---
    "MapListTitle": (
        "Choose a dungeon",
        "ダンジョンを選ぶ",
        "选择地下城"),
    "ReportTitle": (
        "Battle report",
        "戦闘レポート",
        "战斗报告"),
    "SettingTitle": (
        "Settings",
        "設定",
        "设置"),
    "CloseButton": (
        "Close",
        "閉じる",
        "关闭"),
    "NextPage": (
        ">",
        "＞",
        "＞"),
    "PrevPage": (
        "<",
        "＜",
        "＜"),
    "SavePicture": (
        "Save picture",
        "画像を保存",
        "保存图片"),
    "SavingPicture": (
        "Saving...",
        "保存中...",
        "正在保存..."),
    "SavePictureFailed": (
        "The picture could not be saved. Check that the pictures folder exists, can be written to and has free space.",
        "画像を保存できませんでした。ピクチャフォルダがあり、書き込みができ、空き容量があるか確認してください。",
        "无法保存图片。请确认图片文件夹存在、可写入并且有剩余空间。"),
    "MusicVolume": (
        "Music",
        "BGM音量",
        "音乐音量"),
    "EffectVolume": (
        "Effects",
        "効果音量",
        "音效音量"),
    "MuteWhenUnfocused": (
        "Silent in the background",
        "非アクティブ時は消音",
        "切到后台时静音"),
    "LanguageLabel": (
        "Language",
        "言語",
        "语言"),
    "LanguageNote": (
        "Some texts change at the next start.",
        "一部の表示は次回起動時に切り替わります。",
        "部分文字将在下次启动时切换。"),
    "LanguageSystem": (
        "System",
        "システム",
        "跟随系统"),
    "LanguageEnglish": (
        "English",
        "English",
        "English"),
    "LanguageJapanese": (
        "日本語",
        "日本語",
        "日本語"),
    "LanguageChinese": (
        "简体中文",
        "简体中文",
        "简体中文"),
    "RestorePurchases": (
        "Restore purchases",
        "購入を復元",
        "恢复购买"),
    "FormatRestored": (
        "%u purchases were restored.",
        "%u件の購入を復元しました。",
        "已恢复%u项购买。"),
    "RestoreNothing": (
        "There were no purchases to restore.",
        "復元する購入はありませんでした。",
        "没有可恢复的购买。"),
    "RestoreFailed": (
        "The purchases could not be restored. Please try again later.",
        "購入を復元できませんでした。しばらくしてからもう一度お試しください。",
        "无法恢复购买，请稍后再试。"),
    "SettingsNotSaved": (
        "The setting could not be saved.",
        "設定を保存できませんでした。",
        "无法保存设置。"),
}

LANGUAGES = ["en", "ja", "zh-Hans"]
