-- The tables of the lesson database. The same statements make the embedded file and a class
-- database on a server, so they keep to what both engines take: INTEGER, VARCHAR(n) and DATE,
-- names without quotes (a server folds them to lower case), and one integer key per table by
-- which a row is found again when it is edited or deleted.
--
-- The lessons' seven file fields hold paths relative to the course folder; "w" marks a lesson
-- without that item. The journal keeps names and titles as they were shown, not codes.

CREATE TABLE razdel (
    kod_razdel INTEGER PRIMARY KEY,
    razdel     VARCHAR(150)
);

CREATE TABLE Tema (
    kod_tema   INTEGER PRIMARY KEY,
    kod_razdel INTEGER,
    tema       VARCHAR(50)
);

CREATE TABLE tip (
    kod_tip INTEGER PRIMARY KEY,
    tip     VARCHAR(150)
);

CREATE TABLE urok (
    kod_uroka  INTEGER PRIMARY KEY,
    urok       VARCHAR(150),
    htm        VARCHAR(150),
    jpg        VARCHAR(150),
    wav        VARCHAR(150),
    mid        VARCHAR(150),
    tip        VARCHAR(50),
    kod_tip    INTEGER,
    kod_tema   INTEGER,
    avi        VARCHAR(150),
    test       VARCHAR(150),
    kod_razdel INTEGER,
    exe        VARCHAR(150)
);

CREATE TABLE gruppa (
    kod_gruppa INTEGER PRIMARY KEY,
    gruppa     VARCHAR(255)
);

CREATE TABLE fio (
    kod_fio INTEGER PRIMARY KEY,
    fio     VARCHAR(255),
    gruppa  VARCHAR(255)
);

-- One row per lesson visit (ocenka 0) or finished test (the result in percent), dated with
-- the day it happened.
CREATE TABLE jurnal (
    kod_jurnal INTEGER PRIMARY KEY,
    tema       VARCHAR(50),
    urok       VARCHAR(50),
    data       DATE,
    ocenka     INTEGER,
    fio        VARCHAR(50),
    gruppa     VARCHAR(50)
);

-- The lesson editor's password, as a salted hash.
CREATE TABLE pas (
    kod_pas INTEGER PRIMARY KEY,
    pas     VARCHAR(255)
);
