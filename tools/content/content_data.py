"""The game's static content in one readable place.

generate.py turns these tables into the four property lists under
resources/tables/ and the artist's sheet docs/MONSTERS.md; pacing.py has the
game's bot play the built game on them and checks the pace it gets.

Layout rules the game relies on:
  * ten dungeons, id = position + 1;
  * sixty monsters, six per dungeon in dungeon order, the sixth being the boss;
  * type-0 equipment (the gear monsters ask for) has ids 1..27 so the icons
    fill both rows of the equipment strip; bonus items follow, store items last.
"""

# ---------------------------------------------------------------------------
# Dungeons: (name, depth). depth = returns counted in the dungeon before its
# boss may show up (twenty persons return per explore).
DUNGEONS = [
    ("Clover Meadow", 60),
    ("Whisperwood Forest", 160),
    ("Sunscorch Desert", 200),
    ("Echoing Caves", 100),
    ("Mount Ember", 80),
    ("Gloomspire Castle", 80),
    ("Frostfang Glacier", 120),
    ("Sunken Coral Palace", 140),
    ("Skyreach Isles", 160),
    ("Demon King's Keep", 160),
]

# ---------------------------------------------------------------------------
# Monsters: six per dungeon; the sixth is the boss.
# (name, gold, required equip ids, description, visual brief for the artist)
MONSTERS = [
    # 1. Clover Meadow: nothing here needs any gear.
    ("Puffpig", 2, [],
     "A round little pig that puffs up like a ball when startled. The meadow's favourite troublemaker.",
     "Pale pink pig, round as a ball, tiny trotters, curly tail, puffed cheeks, a white daisy behind one ear."),
    ("Hopbun", 3, [],
     "A long-eared rabbit that hops over fences just to prove it can.",
     "Cream-white rabbit mid-hop, very long ears with brown tips, big hind feet, a clover leaf in its mouth."),
    ("Dewdrop Slime", 3, [],
     "A bouncy drop of morning dew. It giggles when stepped on.",
     "Translucent light-blue teardrop slime, two dot eyes, a white shine, a blade of grass stuck on top."),
    ("Buzzbee", 4, [],
     "A plump bee that guards the clover and scolds anyone who sniffs it.",
     "Chubby yellow-and-black striped bee, small see-through wings, stern eyebrows, tiny stinger."),
    ("Mushcap", 5, [],
     "A walking mushroom that naps in the shade and snores spores.",
     "Red mushroom cap with white spots on a stubby white stem with little feet, sleepy eyes, a puff of spores."),
    ("Chief Boarbelly", 20, [],
     "The meadow's big boss, a boar in a daisy crown who thinks every turnip belongs to him.",
     "Large brown boar, white tusks, round belly, bristly dark mane, a crown woven of daisies, snorting steam."),

    # 2. Whisperwood Forest: gear 1-3 (wooden sword, leather shield, lantern).
    ("Nutkin", 7, [],
     "A squirrel that hoards acorns and throws the bad ones at travellers.",
     "Orange-red squirrel with a huge fluffy tail, cheeks stuffed with acorns, one acorn raised to throw."),
    ("Leafling", 9, [1],
     "A tiny sprite made of leaves that rustles rumours through the woods.",
     "Small green figure of overlapping leaves, twig arms, glowing yellow eyes, a curled leaf for a hat."),
    ("Stumpy", 10, [2],
     "An old tree stump that woke up grumpy and never went back to sleep.",
     "Short brown tree stump on root feet, frowning bark face, tree rings on top, patches of moss."),
    ("Hooty", 12, [1, 2],
     "A wise owl who asks riddles and pecks anyone who gets them wrong.",
     "Round grey-brown owl, huge amber eyes behind tiny round spectacles, feathery ear tufts."),
    ("Thornwolf", 15, [2, 3],
     "A wolf with brambles for fur. It howls at the moon and at lost picnic baskets.",
     "Dark green wolf whose fur ends in thorny bramble vines, red eyes, bared fangs, leaves on its tail."),
    ("Old Oakheart", 80, [1, 2, 3],
     "The ancient oak of the forest, slow to anger and slower to forgive.",
     "Towering oak giant, bark face with a long moss beard, branch arms, glowing green eyes, acorns in the crown."),

    # 3. Sunscorch Desert: gear 4-6 (hat, water skin, bronze spear).
    ("Sandmole", 20, [3],
     "A mole that swims through sand and pops up right under your boots.",
     "Sandy-yellow mole, big pink nose, digging claws, goggles pushed up on its forehead, sand spraying."),
    ("Cactoot", 24, [4],
     "A cactus that toots on its trumpet flower. Hugging it is a bad idea.",
     "Round green cactus with spines, a pink trumpet-shaped flower on top, stubby arms, cheerful face."),
    ("Scuttle Scorp", 28, [5],
     "A scorpion that clicks its claws in time with the desert wind.",
     "Rust-red scorpion, tail curled high with a stinger, two big claws, shiny segmented shell."),
    ("Dune Lizard", 33, [4, 5],
     "A sun-loving lizard that spreads its frill to look twice its size.",
     "Tan lizard with a large orange frill spread wide round its head, long tail, mouth open hissing."),
    ("Flamebird", 40, [5, 6],
     "A bird wrapped in friendly flames. Its feathers keep the kingdom warm all winter.",
     "Bright orange-red bird, flame-shaped tail feathers, yellow beak, glowing ember wings, a small trail of fire."),
    ("Sphinx Queen Sahra", 200, [4, 5, 6],
     "Keeper of the desert's riddles. She has never lost a staring contest.",
     "Golden lion-bodied sphinx with a blue-and-gold striped royal headdress, calm eyes, crossed paws, gold collar."),

    # 4. Echoing Caves: gear 7-9 (miner's helmet, pickaxe, iron shield).
    ("Echobat", 50, [6],
     "A bat that repeats everything you say, only ruder.",
     "Purple bat with huge ears, wide wings, little fangs, mouth open in a shout with sound lines."),
    ("Glowworm", 60, [7],
     "A worm with a lantern tail that lights the way and then wanders off.",
     "Plump pale-green worm, glowing yellow bulb at the tail tip, two antennae, sweet smile."),
    ("Pebble Golem", 70, [8],
     "A pile of pebbles that decided to stand up one day.",
     "Small grey golem of stacked round stones, moss on its shoulders, two glowing blue dot eyes."),
    ("Crystal Crab", 84, [7, 8],
     "A crab whose shell sprouts crystals. It pinches first and apologises later.",
     "Blue crab with pink and violet crystal spikes growing from its shell, both big claws raised."),
    ("Mole Miner", 100, [8, 9],
     "A mole in a hard hat who is sure the treasure is just one more dig away.",
     "Brown mole in a yellow hard hat with a candle, pickaxe over the shoulder, dusty blue overalls."),
    ("Grumblerock", 500, [7, 8, 9],
     "A cave troll who hates noise, which is unfortunate, because caves echo.",
     "Big grey-green troll with rocky skin, heavy brow, stubby horns, stone club, one hand over an ear."),

    # 5. Mount Ember: gear 10-12 (fireproof cloak, frost blade, steel armour).
    ("Magma Slime", 120, [9],
     "A slime that bubbles like soup on the stove. Do not taste it.",
     "Glowing orange-red slime with dark crusty patches, bubbles popping on top, cross eyes."),
    ("Cinder Imp", 145, [10],
     "A small imp who sets off sparks for fun and blames the mountain.",
     "Small red imp with stubby horns and a pointed tail, wide grin, a spark in each hand."),
    ("Lava Turtle", 170, [11],
     "A turtle with a little volcano on its back. It is always slightly too warm.",
     "Dark grey turtle whose shell is a small volcano dribbling lava, slow sleepy face."),
    ("Ash Salamander", 200, [10, 11],
     "A salamander that bathes in lava and sheds smoky scales.",
     "Black salamander with orange spots, glowing cracks along the body, smoke curling from its back."),
    ("Fire Drake", 240, [11, 12],
     "A young dragon still practising its roar. The mountain shakes a little when it tries.",
     "Small crimson dragon, stubby wings, cream belly, puffing a flame, chest out proudly."),
    ("Ignar the Red", 1200, [10, 11, 12],
     "Lord of the volcano. He sleeps on a bed of gold and wakes in a very bad mood.",
     "Huge red dragon with golden horns and belly, wings spread, smoke from the nostrils, gold coins under its claws."),

    # 6. Gloomspire Castle: gear 13-15 (holy water, silver sword, castle key).
    ("Pillowghost", 280, [12],
     "A ghost in a bedsheet who only wants someone to play hide and seek with.",
     "White bedsheet ghost with two eye holes, wavy hem, tiny floating arms, shy pink blush."),
    ("Candle Wisp", 330, [13],
     "A candle flame that wandered off its candle and refuses to go back.",
     "Blue-white wisp flame with a little face, a stub of dripping candle trailing below, soft glow."),
    ("Empty Armor", 390, [14],
     "A suit of armour with nobody inside. It still salutes the old lord.",
     "Dented silver knight armour, open visor showing darkness and two glowing eyes, rusty sword."),
    ("Gargoyle", 460, [13, 14],
     "A stone watcher from the castle roof. It blinks only when nobody is looking.",
     "Crouching grey stone gargoyle, bat wings, small horns, cracks in the stone, toothy grin."),
    ("Count Nibbles", 540, [14, 15],
     "A vampire who faints at the sight of garlic bread.",
     "Pale little vampire, black cape with red lining, slicked hair, tiny fangs, holding a teacup."),
    ("The Shadow Baron", 2800, [13, 14, 15],
     "Master of Gloomspire. He stole the kingdom's sunshine and keeps it in a jar.",
     "Tall figure in a purple-black cloak and top hat, glowing yellow eyes, holding a jar with a small sun inside."),

    # 7. Frostfang Glacier: gear 16-18 (fur coat, snow boots, ember lance).
    ("Snowball Seal", 500, [15],
     "A seal that rolls down slopes and cannot stop.",
     "Round white seal pup, big black eyes, whiskers, half covered in snow like a snowball."),
    ("Frost Penguin", 580, [16],
     "A penguin in a scarf who marches in very straight lines.",
     "Black-and-white penguin with a red knitted scarf, orange beak and feet, marching stance."),
    ("Icicle Sprite", 670, [17],
     "A tiny sprite that hangs from the ceiling and drops on heads.",
     "Light-blue crystal fairy shaped like an icicle, pointed hat, frosty wings, mischievous grin."),
    ("Yeti Cub", 780, [16, 17],
     "A young yeti learning to throw snowballs. Its aim is improving.",
     "Small fluffy white yeti with a pale-blue face and big feet, holding a snowball."),
    ("Woolly Mammoth", 920, [17, 18],
     "A great shaggy mammoth who remembers every snowfall for a thousand years.",
     "Large brown shaggy mammoth, long curved ivory tusks, small kind eyes, frost in its fur."),
    ("Queen Glacia", 4800, [16, 17, 18],
     "The ice queen of the north. Her sneeze starts the winter.",
     "Elegant ice queen with pale-blue skin, crystal crown, white-and-blue gown, ice sceptre, snowflakes around her."),

    # 8. Sunken Coral Palace: gear 19-21 (diving helmet, trident, pearl shield).
    ("Bubblefin", 1040, [18],
     "A fish who blows bubbles shaped like little crowns.",
     "Small round yellow fish with blue fins, blowing a bubble shaped like a crown."),
    ("Jelly Bell", 1200, [19],
     "A jellyfish that rings like a bell when poked.",
     "Pink see-through jellyfish shaped like a bell, trailing ribbons, a small clapper inside."),
    ("Seahorse Knight", 1400, [20],
     "A tiny knight who rides nobody, because he is the horse.",
     "Teal seahorse in a tiny silver helmet holding a coral lance, tail proudly curled."),
    ("Inkypus", 1640, [19, 20],
     "An octopus who writes letters to everyone and signs them with ink blots.",
     "Purple octopus with eight curling arms, holding a quill and a scroll, splash of ink."),
    ("Shark Guard", 1920, [20, 21],
     "A shark in palace uniform. He takes his job very seriously.",
     "Grey-blue shark in a gold-trimmed guard helmet with a spear, stern toothy grin."),
    ("Great Kraken Brine", 9600, [19, 20, 21],
     "The giant of the deep who guards the sunken palace's treasure.",
     "Enormous dark-red kraken, many tentacles, one holding a treasure chest, big yellow eyes, barnacles."),

    # 9. Skyreach Isles: gear 22-24 (feather cape, storm bow, lightning rod).
    ("Cloud Sheep", 2160, [21],
     "A sheep made of cloud. Sheared, it gives the softest rain.",
     "Fluffy white cloud-shaped sheep with a small black face and legs, floating, raindrops below."),
    ("Gale Swallow", 2480, [22],
     "A swallow so fast it arrives before it leaves.",
     "Sleek dark-blue swallow, forked tail, white belly, swirling wind lines behind."),
    ("Sparkcat", 2880, [23],
     "A cat whose fur crackles with lightning. Petting is not advised.",
     "Yellow cat with bristling fur, zig-zag sparks, glowing eyes, a tail shaped like a lightning bolt."),
    ("Griffin", 3360, [22, 23],
     "Half eagle, half lion, and fully convinced it owns the sky.",
     "Griffin with a white eagle head and wings, golden lion body, sharp talons, proud pose."),
    ("Storm Giant", 3920, [23, 24],
     "A giant who drums on the clouds to make thunder.",
     "Huge blue-grey giant with a cloud beard, drumsticks in both hands, lightning crackling around."),
    ("Thunder Roc", 20000, [22, 23, 24],
     "The king of the skies. When it flaps its wings, the isles drift.",
     "Gigantic bird with indigo feathers and a golden crest, lightning in its talons, wings spread wide."),

    # 10. Demon King's Keep: gear 25-27 (hero's armour, holy sword, light orb).
    ("Imp Sentry", 4400, [24],
     "An imp who guards the gate and asks everyone for a password he forgot.",
     "Small dark-red imp with bat wings and a tiny spear, puzzled face, a scroll in one hand."),
    ("Bone Butler", 5040, [25],
     "A polite skeleton who serves tea to intruders before fighting them.",
     "White skeleton in a black butler tailcoat and bow tie, carrying a tray with a teapot, bony smile."),
    ("Cerberpup", 5840, [26],
     "A three-headed puppy. Each head wants a different treat.",
     "Black puppy with three heads in red spiked collars, wagging tail, one head half asleep."),
    ("Hex Mage", 6800, [25, 26],
     "A sorcerer whose curses mostly give people hiccups.",
     "Hooded figure in violet robes with a star pattern, glowing green eyes, crooked staff."),
    ("Demon General", 8000, [26, 27],
     "The Demon King's right hand, who has never lost at arm wrestling.",
     "Muscular dark-blue demon with big curved horns, spiked black armour and a greatsword."),
    ("Demon King Malgor", 40000, [25, 26, 27],
     "Lord of the keep and the cause of every rainy holiday. Time to send him packing.",
     "Towering demon king, black-and-red cape, crown of horns, glowing red eyes, dark flame aura, sceptre."),
]

# ---------------------------------------------------------------------------
# Monster lists per dungeon: older monsters first (so the share of entries not
# yet admitted falls to a familiar, beatable monster), then the dungeon's own
# five in the order they are admitted, then the boss.
# Rates are per-mille bands and sum to 1.
OLD_RATES = [0.10, 0.08, 0.05]
NEW_RATES = [0.22, 0.18, 0.15, 0.12, 0.08]
BOSS_RATE = 0.02
FIRST_DUNGEON_RATES = [0.35, 0.25, 0.18, 0.12, 0.08]
SECOND_DUNGEON_OLD_RATES = [0.12, 0.08]
SECOND_DUNGEON_NEW_RATES = [0.24, 0.19, 0.16, 0.12, 0.07]


def old_monsters_of(dungeon_id):
    """Monsters of earlier dungeons that still wander in: the two strongest
    regulars of the dungeon before and the strongest of the one before that."""
    if dungeon_id <= 1:
        return []
    prev = (dungeon_id - 2) * 6
    olds = [prev + 5, prev + 4]
    if dungeon_id >= 3:
        olds.append((dungeon_id - 3) * 6 + 5)
    return olds


# ---------------------------------------------------------------------------
# Equipment. Fields: name, description, type, gold, product_id, req_dungeon,
# monster, num, gold_rate, speed_rate.
# Type 0 (ids 1..27): three pieces per dungeon 2..10, each listed (and marked
# new) from the dungeon that needs it. The shop opens with the first coffin,
# which only dungeon 2 and later can bring.
EQUIPMENTS = [
    # For the Whisperwood Forest.
    dict(name="Wooden Sword", gold=60, req_dungeon=2,
         description="A sturdy practice sword carved from oak. Good against beasts with thin skin."),
    dict(name="Leather Shield", gold=150, req_dungeon=2,
         description="A round shield of tanned leather. It turns aside claws and acorns."),
    dict(name="Forest Lantern", gold=380, req_dungeon=2, monster=8, num=5,
         description="A bright lantern that keeps you from getting lost among the trees."),
    # For the Sunscorch Desert.
    dict(name="Wide-Brim Hat", gold=350, req_dungeon=3,
         description="Keeps the desert sun off your head and the sand out of your eyes."),
    dict(name="Water Skin", gold=1000, req_dungeon=3, monster=14, num=5,
         description="Cool water for long marches over hot sand."),
    dict(name="Bronze Spear", gold=2200, req_dungeon=3, monster=15, num=5,
         description="A long spear that keeps scorpions at a polite distance."),
    # For the Echoing Caves.
    dict(name="Miner's Helmet", gold=500, req_dungeon=4,
         description="A helmet with a candle on top, for the darkest tunnels."),
    dict(name="Iron Pickaxe", gold=1300, req_dungeon=4, monster=20, num=5,
         description="Cracks stone and crystal alike."),
    dict(name="Iron Shield", gold=2500, req_dungeon=4, monster=21, num=5,
         description="A heavy shield that laughs at falling rocks."),
    # For Mount Ember.
    dict(name="Fireproof Cloak", gold=1000, req_dungeon=5,
         description="Woven from salamander silk. Flames simply slide off."),
    dict(name="Frost Blade", gold=2000, req_dungeon=5, monster=26, num=3,
         description="A sword that stays icy cold, even in a river of lava."),
    dict(name="Steel Armor", gold=4000, req_dungeon=5, monster=27, num=3,
         description="Polished steel plate from the royal forge."),
    # For Gloomspire Castle.
    dict(name="Holy Water", gold=2400, req_dungeon=6,
         description="Blessed by the court priest. Ghosts find it very rude."),
    dict(name="Silver Sword", gold=4800, req_dungeon=6, monster=32, num=3,
         description="A shining silver blade that creatures of the night fear."),
    dict(name="Castle Key", gold=10000, req_dungeon=6, monster=33, num=3,
         description="Opens every door in Gloomspire, even the scary ones."),
    # For the Frostfang Glacier.
    dict(name="Fur Coat", gold=10000, req_dungeon=7,
         description="Thick and warm, for the coldest winds of the north."),
    dict(name="Snow Boots", gold=22000, req_dungeon=7, monster=38, num=3,
         description="Spiked soles that never slip on ice."),
    dict(name="Ember Lance", gold=45000, req_dungeon=7, monster=39, num=3,
         description="A lance with a burning tip that melts through any glacier."),
    # For the Sunken Coral Palace.
    dict(name="Diving Helmet", gold=32000, req_dungeon=8,
         description="A brass helmet that lets you breathe under the sea."),
    dict(name="Coral Trident", gold=65000, req_dungeon=8, monster=44, num=3,
         description="A three-pronged spear from the palace armoury."),
    dict(name="Pearl Shield", gold=130000, req_dungeon=8, monster=45, num=3,
         description="A shield set with pearls that wards off ink and stings."),
    # For the Skyreach Isles.
    dict(name="Feather Cape", gold=85000, req_dungeon=9,
         description="Lets the wearer glide from island to island."),
    dict(name="Storm Bow", gold=180000, req_dungeon=9, monster=50, num=3,
         description="A bow strung with wind that shoots arrows of lightning."),
    dict(name="Lightning Rod", gold=260000, req_dungeon=9, monster=51, num=3,
         description="Hold it high and the thunder goes where you want."),
    # For the Demon King's Keep.
    dict(name="Hero's Armor", gold=220000, req_dungeon=10,
         description="Armour of the heroes of old, light as a feather and hard as a mountain."),
    dict(name="Holy Sword", gold=400000, req_dungeon=10, monster=56, num=2,
         description="The kingdom's legendary blade. It glows when demons are near."),
    dict(name="Light Orb", gold=380000, req_dungeon=10, monster=57, num=2,
         description="An orb holding a piece of the sun. No darkness can stand before it."),
]

# Type 1: bonus items bought with gold.
BONUS_ITEMS = [
    dict(name="Lucky Clover", gold=400, req_dungeon=2, monster=1, num=20, gold_rate=1.2,
         description="A four-leaf clover that brings a little more gold home. Gold x1.2."),
    dict(name="Swift Boots", gold=1500, req_dungeon=3, speed_rate=1.25,
         description="Light boots that make every trip a little shorter. Speed x1.25."),
    dict(name="Merchant's Scales", gold=12000, req_dungeon=5, monster=23, num=10, gold_rate=1.25,
         description="Weighs the loot so that no coin is ever missed. Gold x1.25."),
    dict(name="Winged Sandals", gold=120000, req_dungeon=7, speed_rate=1.25,
         description="Sandals with little wings. Trips go by in a flutter. Speed x1.25."),
    dict(name="Phoenix Purse", gold=400000, req_dungeon=8, monster=17, num=40, gold_rate=1.5,
         description="Sewn from flamebird feathers; coins inside seem to multiply. Gold x1.5."),
    dict(name="Hourglass of Haste", gold=900000, req_dungeon=9, speed_rate=1.25,
         description="Its sand runs upwards, and so do the explorers. Speed x1.25."),
]

# Type 1: store items, sold through the platform store (gold 0).
STORE_ITEMS = [
    dict(name="Golden Crown", product_id="com.example.royalexpedition.goldcrown",
         req_dungeon=2, gold_rate=2.0,
         description="The king's second-best crown. Every coin brought home counts double. Gold x2."),
    dict(name="Royal Carriage", product_id="com.example.royalexpedition.royalcarriage",
         req_dungeon=2, speed_rate=2.0,
         description="A gilded carriage for the whole party. Every trip takes half the time. Speed x2."),
    dict(name="Royal Banner", product_id="com.example.royalexpedition.royalbanner",
         req_dungeon=4, gold_rate=1.5, speed_rate=1.5,
         description="The kingdom's banner lifts every heart. Gold x1.5 and speed x1.5."),
]
