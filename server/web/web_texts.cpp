#include "server/web/web_texts.h"

#include <array>
#include <cctype>

#include "server/site.h"
#include "server/web/cookies.h"

namespace srv::web {

namespace {

using Row = std::array<const char*, 3>;  // English, French, Italian

// In the order of enum Text.
const Row texts[] = {
    {"News and community of the Orbivox boxes", "Actualités et communauté des boîtiers Orbivox",
     "Notizie e comunità dei decoder Orbivox"},
    {"Home", "Accueil", "Home"},
    {"News", "Actualités", "Notizie"},
    {"Shoutbox", "Messages", "Shoutbox"},
    {"Downloads", "Téléchargements", "Download"},
    {"Statistics", "Statistiques", "Statistiche"},
    {"Operator", "Opérateur", "Operatore"},
    {"Language", "Langue", "Lingua"},
    {"The same community as the Lumen News plug-in on your box.",
     "La même communauté que le plug-in Lumen News de votre boîtier.",
     "La stessa comunità del plug-in Lumen News del tuo decoder."},
    {"Latest news", "Dernières actualités", "Ultime notizie"},
    {"Read more", "Lire la suite", "Leggi tutto"},
    {"Latest shouts", "Derniers messages", "Ultimi messaggi"},
    {"All shouts", "Tous les messages", "Tutti i messaggi"},
    {"No news yet.", "Pas encore d'actualités.", "Ancora nessuna notizia."},
    {"News in English", "Actualités en anglais", "Notizie in inglese"},
    {"News in Italian", "Actualités en italien", "Notizie in italiano"},
    {"by", "par", "di"},
    {"reads", "lectures", "letture"},
    {"All news", "Toutes les actualités", "Tutte le notizie"},
    {"Requests from boxes", "Requêtes des boîtiers", "Richieste dai decoder"},
    {"Boxes seen today", "Boîtiers vus aujourd'hui", "Decoder visti oggi"},
    {"News published", "Actualités publiées", "Notizie pubblicate"},
    {"Files to download", "Fichiers à télécharger", "File da scaricare"},
    {"Shouts", "Messages", "Messaggi"},
    {"Most read news", "Actualité la plus lue", "Notizia più letta"},
    {"Most downloaded file", "Fichier le plus téléchargé", "File più scaricato"},
    {"downloads", "téléchargements", "download"},
    {"Nickname", "Pseudo", "Nickname"},
    {"Message", "Message", "Messaggio"},
    {"Send", "Envoyer", "Invia"},
    {"Your shout is on the board.", "Votre message est publié.", "Il tuo messaggio è pubblicato."},
    {"Type a message first.", "Tapez d'abord un message.", "Scrivi prima un messaggio."},
    {"The message is longer than 500 characters.", "Le message dépasse 500 caractères.",
     "Il messaggio supera i 500 caratteri."},
    {"The nickname is longer than 15 characters.", "Le pseudo dépasse 15 caractères.",
     "Il nickname supera i 15 caratteri."},
    {"The text holds characters that cannot be shown.", "Le texte contient des caractères impossibles à afficher.",
     "Il testo contiene caratteri che non si possono mostrare."},
    {"This nickname may not post here.", "Ce pseudo ne peut pas publier ici.", "Questo nickname non può scrivere qui."},
    {"One shout at a time: wait a few seconds and send it again.",
     "Un message à la fois : attendez quelques secondes et renvoyez-le.",
     "Un messaggio alla volta: attendi qualche secondo e invialo di nuovo."},
    {"Too many of the characters & < > \" to fit one line of the boxes' list; please use fewer.",
     "Trop de caractères & < > \" pour tenir sur une ligne de la liste des boîtiers ; utilisez-en moins.",
     "Troppi caratteri & < > \" per stare in una riga dell'elenco dei decoder; usane meno."},
    {"The server could not store the shout just now; please try again later.",
     "Le serveur n'a pas pu enregistrer le message pour l'instant ; réessayez plus tard.",
     "Il server non è riuscito a salvare il messaggio; riprova più tardi."},
    {"The form has expired; please send it again.", "Le formulaire a expiré ; renvoyez-le.",
     "Il modulo è scaduto; invialo di nuovo."},
    {"Up to 500 characters; boxes see it at once.", "Jusqu'à 500 caractères ; les boîtiers le voient aussitôt.",
     "Fino a 500 caratteri; i decoder lo vedono subito."},
    {"Category", "Catégorie", "Categoria"},
    {"No files in this category.", "Aucun fichier dans cette catégorie.", "Nessun file in questa categoria."},
    {"Title", "Titre", "Titolo"},
    {"Uploaded by", "Envoyé par", "Caricato da"},
    {"Uploaded on", "Envoyé le", "Caricato il"},
    {"Size", "Taille", "Dimensione"},
    {"Download", "Télécharger", "Scarica"},
    {"bytes", "octets", "byte"},
    {"This page does not exist.", "Cette page n'existe pas.", "Questa pagina non esiste."},
    {"Operator login", "Connexion de l'opérateur", "Accesso operatore"},
    {"Password", "Mot de passe", "Password"},
    {"Log in", "Se connecter", "Entra"},
    {"Log out", "Se déconnecter", "Esci"},
    {"Wrong password.", "Mot de passe erroné.", "Password errata."},
    {"Too many failed logins from your address; wait a minute and try again.",
     "Trop d'échecs depuis votre adresse ; attendez une minute.",
     "Troppi tentativi falliti dal tuo indirizzo; attendi un minuto."},
    {"No operator password is set: run \"lumen-server admin-password\" on the server.",
     "Aucun mot de passe d'opérateur : lancez « lumen-server admin-password » sur le serveur.",
     "Nessuna password operatore: esegui \"lumen-server admin-password\" sul server."},
    {"Overview", "Vue d'ensemble", "Panoramica"},
    {"Plug-in requests and posts per day, last 30 days", "Requêtes du plug-in et messages par jour, 30 derniers jours",
     "Richieste del plug-in e messaggi al giorno, ultimi 30 giorni"},
    {"Plug-in requests", "Requêtes du plug-in", "Richieste del plug-in"},
    {"Posts", "Messages", "Messaggi"},
    {"Delete", "Supprimer", "Elimina"},
    {"Delete every shout of a nickname", "Supprimer tous les messages d'un pseudo",
     "Elimina tutti i messaggi di un nickname"},
    {"Ban", "Bannir", "Blocca"},
    {"Unban", "Lever le bannissement", "Sblocca"},
    {"Banned nicknames", "Pseudos bannis", "Nickname bloccati"},
    {"New news item", "Nouvelle actualité", "Nuova notizia"},
    {"Edit", "Modifier", "Modifica"},
    {"Preview", "Aperçu", "Anteprima"},
    {"Save", "Enregistrer", "Salva"},
    {"Language", "Langue", "Lingua"},
    {"Title", "Titre", "Titolo"},
    {"Author", "Auteur", "Autore"},
    {"Summary", "Résumé", "Sommario"},
    {"Body (HTML)", "Texte (HTML)", "Testo (HTML)"},
    {"Upload", "Envoyer", "Carica"},
    {"File", "Fichier", "File"},
    {"Description", "Description", "Descrizione"},
    {"Remove", "Retirer", "Rimuovi"},
    {"Operator log", "Journal de l'opérateur", "Registro operatore"},
    {"Time", "Heure", "Ora"},
    {"Address", "Adresse", "Indirizzo"},
    {"Action", "Action", "Azione"},
    {"Done.", "Fait.", "Fatto."},
    {"Title and author are needed: one line each, at most 200 bytes.",
     "Titre et auteur sont requis : une ligne chacun, 200 octets au plus.",
     "Servono titolo e autore: una riga ciascuno, al massimo 200 byte."},
    {"The file is larger than the upload limit.", "Le fichier dépasse la limite d'envoi.",
     "Il file supera il limite di caricamento."},
    {"The upload could not be read.", "L'envoi est illisible.", "Il caricamento non è leggibile."},
    {"Not saved yet: this is how the web shows it.", "Pas encore enregistré : voici l'affichage sur le web.",
     "Non ancora salvato: ecco come appare sul web."},
};
static_assert(sizeof texts / sizeof texts[0] == static_cast<size_t>(Text::Count_), "one row per text");

}  // namespace

const char* say(Text text, Lang lang) { return texts[static_cast<size_t>(text)][static_cast<size_t>(lang)]; }

const char* languageCode(Lang lang) {
    switch (lang) {
    case Lang::Fr: return "fr";
    case Lang::It: return "it";
    default: return "en";
    }
}

Lang languageOf(const std::string& code, Lang fallback) {
    if (code == "en") return Lang::En;
    if (code == "fr") return Lang::Fr;
    if (code == "it") return Lang::It;
    return fallback;
}

namespace {

// The first language of an Accept-Language value that the site speaks;
// weights are not weighed: browsers list languages in their order.
bool acceptedLanguage(std::string_view header, Lang& found) {
    size_t start = 0;
    while (start < header.size()) {
        size_t end = header.find(',', start);
        if (end == std::string_view::npos) end = header.size();
        std::string_view item = header.substr(start, end - start);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        if (item.size() >= 2) {
            std::string code{static_cast<char>(std::tolower(static_cast<unsigned char>(item[0]))),
                             static_cast<char>(std::tolower(static_cast<unsigned char>(item[1])))};
            bool whole = item.size() == 2 || item[2] == '-' || item[2] == ';';
            if (whole && (code == "en" || code == "fr" || code == "it")) {
                found = languageOf(code, Lang::En);
                return true;
            }
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

Lang pageLanguage(const Request& request) {
    std::string asked = request.query.get("lang");
    if (!asked.empty()) return languageOf(asked, Lang::En);
    std::string kept = cookieValue(request, languageCookie);
    if (!kept.empty()) return languageOf(kept, Lang::En);
    Lang found = Lang::En;
    acceptedLanguage(request.header("accept-language"), found);
    return found;
}

const char* newsLanguage(Lang lang) { return lang == Lang::It ? "it" : "en"; }

Text verdictText(ShoutVerdict verdict) {
    switch (verdict) {
    case ShoutVerdict::Stored: return Text::ShoutStored;
    case ShoutVerdict::EmptyMessage: return Text::EmptyMessage;
    case ShoutVerdict::MessageTooLong: return Text::MessageTooLong;
    case ShoutVerdict::NickTooLong: return Text::NickTooLong;
    case ShoutVerdict::BadBytes: return Text::BadText;
    case ShoutVerdict::Banned: return Text::Banned;
    case ShoutVerdict::TooSoon: return Text::TooSoon;
    case ShoutVerdict::LineTooLong: return Text::LineTooLong;
    case ShoutVerdict::NotStored: return Text::NotStored;
    }
    return Text::BadText;
}

}  // namespace srv::web
