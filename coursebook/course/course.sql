-- The sample course "Torvane". File fields are relative to the coursebook's folder;
-- "w" marks a lesson that has no such item. The program field names a program, and may name a
-- scheme after a blank: "workbench lab1" opens the first lab on the workbench.

INSERT INTO razdel (kod_razdel, razdel) VALUES
  (1, 'Цепи постоянного тока'),
  (2, 'Цепи переменного тока'),
  (3, 'Фильтры'),
  (4, 'Контроль знаний');

INSERT INTO tip (kod_tip, tip) VALUES
  (1, 'Теория'),
  (2, 'Практическая работа'),
  (3, 'Видеоурок'),
  (4, 'Тестирование');

INSERT INTO Tema (kod_tema, kod_razdel, tema) VALUES
  (1, 1, 'Закон Ома'),
  (2, 1, 'Соединение резисторов'),
  (3, 1, 'Законы Кирхгофа'),
  (4, 2, 'Конденсатор и катушка'),
  (5, 2, 'Резонанс'),
  (6, 3, 'Пассивные фильтры'),
  (7, 3, 'Активные фильтры'),
  (8, 4, 'Итоговый тест'),
  (9, 1, 'Мощность и защита цепи');

INSERT INTO urok (kod_uroka, kod_razdel, kod_tema, kod_tip, urok, tip, htm, jpg, wav, mid, avi, test, exe) VALUES
  (1,  1, 1, 1, 'Основные величины', 'Ток, напряжение и сопротивление',
       'uroki/tok.mht', 'w', 'zvuk/tok.wav', 'muzyka/fon.wav', 'w', 'w', 'w'),
  (2,  1, 1, 1, 'Закон Ома', 'Закон Ома для участка цепи',
       'uroki/om.htm', 'kartinki/om.jpg', 'zvuk/om.wav', 'w', 'w', 'w', 'w'),
  (3,  1, 1, 2, 'Лабораторная работа 1', 'Опыт: закон Ома на стенде',
       'uroki/om_opyt.htm', 'HELP/Labs/lab1-board.jpg', 'w', 'w', 'w', 'w', 'workbench lab1'),
  (4,  1, 2, 1, 'Последовательное соединение', 'Последовательное соединение',
       'uroki/posl.htm', 'kartinki/posl.jpg', 'zvuk/posl.wav', 'w', 'w', 'w', 'w'),
  (5,  1, 2, 1, 'Параллельное соединение', 'Параллельное соединение',
       'uroki/par.htm', 'kartinki/par.jpg', 'w', 'muzyka/fon.wav', 'w', 'w', 'w'),
  (6,  1, 3, 1, 'Первый закон Кирхгофа', 'Первый закон Кирхгофа',
       'uroki/kirh1.htm', 'kartinki/kirh1.jpg', 'zvuk/kirh1.wav', 'w', 'w', 'w', 'w'),
  (7,  1, 3, 1, 'Второй закон Кирхгофа', 'Второй закон Кирхгофа',
       'uroki/kirh2.htm', 'kartinki/kirh2.jpg', 'w', 'w', 'w', 'w', 'workbench'),
  (8,  2, 4, 3, 'Конденсатор', 'Конденсатор в цепи переменного тока',
       'uroki/kond.htm', 'w', 'zvuk/kond.wav', 'w', 'video/kond.avi', 'w', 'w'),
  (9,  2, 4, 1, 'Катушка', 'Катушка в цепи переменного тока',
       'uroki/kat.htm', 'kartinki/kat.jpg', 'w', 'w', 'w', 'w', 'w'),
  (10, 2, 5, 1, 'Резонанс напряжений', 'Резонанс напряжений',
       'uroki/rez.mht', 'kartinki/rez.jpg', 'zvuk/rez.wav', 'w', 'w', 'w', 'w'),
  (11, 2, 5, 1, 'Резонанс токов', 'Резонанс токов',
       'uroki/rezt.htm', 'w', 'w', 'muzyka/fon.wav', 'w', 'w', 'w'),
  (12, 3, 6, 1, 'RC-фильтр', 'RC-фильтр нижних частот',
       'uroki/rc.htm', 'kartinki/rc.jpg', 'zvuk/rc.wav', 'w', 'w', 'w', 'w'),
  (13, 3, 7, 2, 'Активный фильтр', 'Активный фильтр второго порядка',
       'uroki/aktiv.htm', 'kartinki/aktiv.jpg', 'w', 'w', 'w', 'w', 'filterdemo'),
  (14, 4, 8, 4, 'Итоговый тест', 'Итоговый тест по курсу',
       'uroki/test.htm', 'w', 'w', 'w', 'w', 'test/otwet.txt', 'w'),
  (15, 1, 2, 2, 'Лабораторная работа 2', 'Опыт: соединение резисторов',
       'uroki/lab2.htm', 'HELP/Labs/lab2-board.jpg', 'w', 'w', 'w', 'w', 'workbench lab2'),
  (16, 1, 1, 2, 'Лабораторная работа 3', 'Опыт: внутреннее сопротивление батарейки',
       'uroki/lab3.htm', 'HELP/Labs/lab3-board.jpg', 'w', 'w', 'w', 'w', 'workbench lab3'),
  (17, 1, 9, 2, 'Лабораторная работа 4', 'Опыт: лампочка и предохранитель',
       'uroki/lab4.htm', 'HELP/Labs/lab4-board.jpg', 'w', 'w', 'w', 'w', 'workbench lab4'),
  (18, 2, 4, 2, 'Лабораторная работа 5', 'Опыт: цепь RC на переменном токе',
       'uroki/lab5.htm', 'HELP/Labs/lab5-board.jpg', 'w', 'w', 'w', 'w', 'workbench lab5');

INSERT INTO gruppa (gruppa) VALUES ('ЭТ-11'), ('ЭТ-12'), ('ЭМ-21');

INSERT INTO fio (kod_fio, fio, gruppa) VALUES
  (1, 'Иванова Анна Сергеевна', 'ЭТ-11'),
  (2, 'Петров Максим Олегович', 'ЭТ-11'),
  (3, 'Сидоренко Ольга Викторовна', 'ЭТ-12'),
  (4, 'Кузнецов Дмитрий Андреевич', 'ЭМ-21');

-- The teacher's password for the lesson editor, as typed (the build stores its hash); change it
-- from the password window.
INSERT INTO pas (pas) VALUES ('torvane');
