# What the manual pages, desktop entries and software-centre listing say
# about each game. A new game needs a row in each table.

set(name_yarnlet1 "Yarnlet")
set(name_yarnlet2 "Yarnlet 2")
set(name_yarnlet3 "Yarnlet 3: The Finale")
set(name_yarnlet4 "Yarnlet 4")

set(summary_yarnlet1 "a fill-in-the-blanks story game about a morning that goes wrong")
set(summary_yarnlet2 "a fill-in-the-blanks story game about coming back home")
set(summary_yarnlet3 "a fill-in-the-blanks story game about a day that was a dream")
set(summary_yarnlet4 "a fill-in-the-blanks story game about a talk with mom")

set(place_yarnlet1 "the first game")
set(place_yarnlet2 "the second game")
set(place_yarnlet3 "the finale")
set(place_yarnlet4 "the fourth game")

set(questions_yarnlet1 "ten")
set(questions_yarnlet2 "five")
set(questions_yarnlet3 "thirteen")
set(questions_yarnlet4 "five")

set(after_yarnlet1 "credits its author, ")
set(after_yarnlet2 "points you to the finale, ")
set(after_yarnlet3 "")
set(after_yarnlet4 "points you to the finale, ")

set(duration_yarnlet1 "a minute and five seconds")
set(duration_yarnlet2 "45 seconds")
set(duration_yarnlet3 "a minute and a half")
set(duration_yarnlet4 "45 seconds")
