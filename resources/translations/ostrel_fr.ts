<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AddStationDialog</name>
    <message>
        <source>Add a Station</source>
        <translation>Ajouter une station</translation>
    </message>
    <message>
        <source>Edit Station</source>
        <translation>Modifier la station</translation>
    </message>
    <message>
        <source>https://… of a stream or a playlist</source>
        <translation>https://… d’un flux ou d’une liste de lecture</translation>
    </message>
    <message>
        <source>jazz, news, …</source>
        <translation>jazz, infos, …</translation>
    </message>
    <message>
        <source>two letters, such as DE</source>
        <translation>deux lettres, comme FR</translation>
    </message>
    <message>
        <source>https://… of a picture</source>
        <translation>https://… d’une image</translation>
    </message>
    <message>
        <source>&amp;Address</source>
        <translation>&amp;Adresse</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Nom</translation>
    </message>
    <message>
        <source>&amp;Tags</source>
        <translation>&amp;Mots-clés</translation>
    </message>
    <message>
        <source>&amp;Home page</source>
        <translation>Site &amp;web</translation>
    </message>
    <message>
        <source>&amp;Country</source>
        <translation>&amp;Pays</translation>
    </message>
    <message>
        <source>&amp;Icon</source>
        <translation>&amp;Icône</translation>
    </message>
    <message>
        <source>C&amp;heck Address</source>
        <translation>&amp;Vérifier l’adresse</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Ajouter</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Checking the address…</source>
        <translation>Vérification de l’adresse…</translation>
    </message>
    <message>
        <source>The station plays. Change what you like, then add it.</source>
        <translation>La station joue. Modifiez ce que vous voulez, puis ajoutez-la.</translation>
    </message>
    <message>
        <source>The playlist leads to %1, which plays. Change what you like, then add it.</source>
        <translation>La liste de lecture mène à %1, qui joue. Modifiez ce que vous voulez, puis ajoutez-la.</translation>
    </message>
    <message>
        <source>This address is among the favourites already.</source>
        <translation>Cette adresse figure déjà parmi les favoris.</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>Cloud sync</source>
        <translation>Synchronisation</translation>
    </message>
    <message>
        <source>The desktop keyring did not answer (%1), so Ostrel Radio cannot read your cloud password.
Enter it to sync during this session; it is not saved.</source>
        <translation>Le trousseau de clés du bureau n&apos;a pas répondu (%1) : Ostrel Radio ne peut donc pas lire votre mot de passe du cloud.
Saisissez-le pour synchroniser pendant cette session ; il ne sera pas enregistré.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Open Ostrel Radio</source>
        <translation>Ouvrir Ostrel Radio</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêt</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Enregistrer</translation>
    </message>
</context>
<context>
    <name>AudioDevice</name>
    <message>
        <source>🔒 Device is used in exclusive mode.</source>
        <translation>🔒 L&apos;appareil est utilisé en mode exclusif.</translation>
    </message>
    <message>
        <source>Device is currently used and can&apos;t be set for exclusive mode.</source>
        <translation>L&apos;appareil est en cours d&apos;utilisation et ne peut pas passer en mode exclusif.</translation>
    </message>
    <message>
        <source>Failed to set exclusive mode for device.</source>
        <translation>Impossible de passer l&apos;appareil en mode exclusif.</translation>
    </message>
    <message>
        <source>Failed to set exclusive mode. Device is set by another application.</source>
        <translation>Échec du mode exclusif. L&apos;appareil est réservé par une autre application.</translation>
    </message>
</context>
<context>
    <name>Autostart</name>
    <message>
        <source>Could not remove %1.</source>
        <translation>Impossible de supprimer %1.</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Impossible d&apos;écrire %1 : %2</translation>
    </message>
</context>
<context>
    <name>CloudAccount</name>
    <message>
        <source>The address must start with https://: plain http would send the password unprotected to %1.</source>
        <translation>L&apos;adresse doit commencer par https:// : en http simple, le mot de passe serait envoyé sans protection à %1.</translation>
    </message>
    <message>
        <source>The address must start with https://.</source>
        <translation>L&apos;adresse doit commencer par https://.</translation>
    </message>
</context>
<context>
    <name>CloudSettingsPage</name>
    <message>
        <source>Keep favourites and recent stations the same on all your machines, through your own Nextcloud, ownCloud or WebDAV storage.</source>
        <translation>Gardez les mêmes favoris et stations récentes sur toutes vos machines, grâce à votre propre stockage Nextcloud, ownCloud ou WebDAV.</translation>
    </message>
    <message>
        <source>Server address</source>
        <translation>Adresse du serveur</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>Nom d&apos;utilisateur</translation>
    </message>
    <message>
        <source>App password</source>
        <translation>Mot de passe d&apos;application</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Log in with Nextcloud…</source>
        <translation>Se connecter avec Nextcloud…</translation>
    </message>
    <message>
        <source>Log in through your browser: Nextcloud gives Ostrel Radio an app password</source>
        <translation>Connectez-vous dans votre navigateur : Nextcloud donne à Ostrel Radio un mot de passe d&apos;application</translation>
    </message>
    <message>
        <source>Test connection</source>
        <translation>Tester la connexion</translation>
    </message>
    <message>
        <source>Turn on</source>
        <translation>Activer</translation>
    </message>
    <message>
        <source>Turn off</source>
        <translation>Désactiver</translation>
    </message>
    <message>
        <source>Cloud sync status</source>
        <translation>État de la synchronisation</translation>
    </message>
    <message>
        <source>Testing…</source>
        <translation>Test en cours…</translation>
    </message>
    <message>
        <source>The server works for sync.</source>
        <translation>Le serveur convient à la synchronisation.</translation>
    </message>
    <message>
        <source>Opening the Nextcloud login in your browser…</source>
        <translation>Ouverture de la connexion Nextcloud dans votre navigateur…</translation>
    </message>
    <message>
        <source>Log in and grant access in your browser; Ostrel Radio waits for it.</source>
        <translation>Connectez-vous et autorisez l&apos;accès dans votre navigateur ; Ostrel Radio attend.</translation>
    </message>
    <message>
        <source>Sync is off.</source>
        <translation>La synchronisation est désactivée.</translation>
    </message>
    <message>
        <source>Checking the account…</source>
        <translation>Vérification du compte…</translation>
    </message>
    <message>
        <source>Sync is on. Your lists are shared from the next change, and taken over from the cloud at the next start.</source>
        <translation>La synchronisation est activée. Vos listes sont partagées dès la prochaine modification et reprises du cloud au prochain démarrage.</translation>
    </message>
    <message>
        <source> The keyring did not keep the password: you will be asked for it.</source>
        <translation> Le trousseau n&apos;a pas gardé le mot de passe : il vous sera demandé.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Sync is on.</source>
        <translation>La synchronisation est activée.</translation>
    </message>
</context>
<context>
    <name>CloudSetup</name>
    <message>
        <source>The password could not be stored in the keyring: %1</source>
        <translation>Le mot de passe n&apos;a pas pu être enregistré dans le trousseau : %1</translation>
    </message>
    <message>
        <source>Give the address of a WebDAV folder or Nextcloud server (https) and a user name.</source>
        <translation>Indiquez l&apos;adresse d&apos;un dossier WebDAV ou d&apos;un serveur Nextcloud (https) et un nom d&apos;utilisateur.</translation>
    </message>
    <message>
        <source>Cloud sync is not set up: %1</source>
        <translation>La synchronisation n&apos;est pas configurée : %1</translation>
    </message>
    <message>
        <source>Give the password on the first line of the standard input.</source>
        <translation>Donnez le mot de passe sur la première ligne de l&apos;entrée standard.</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Attention : %1</translation>
    </message>
    <message>
        <source>Cloud sync is on, with the folder %1</source>
        <translation>La synchronisation est activée, avec le dossier %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Ostrel Radio: internet radio from the system tray.</source>
        <translation>Ostrel Radio : la radio Internet depuis la zone de notification.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Afficher cette aide et quitter.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Afficher la version et quitter.</translation>
    </message>
    <message>
        <source>Use this directory server for this run: a host name, or an http:// or https:// address with a port.</source>
        <translation>Utiliser ce serveur d&apos;annuaire pour cette exécution : un nom d&apos;hôte, ou une adresse http:// ou https:// avec un port.</translation>
    </message>
    <message>
        <source>Ask this host or address for the list of directory servers.</source>
        <translation>Demander la liste des serveurs d&apos;annuaire à cet hôte ou à cette adresse.</translation>
    </message>
    <message>
        <source>Open the player (also in a running Ostrel Radio).</source>
        <translation>Ouvrir le lecteur (aussi dans un Ostrel Radio déjà lancé).</translation>
    </message>
    <message>
        <source>Quit the running Ostrel Radio.</source>
        <translation>Quitter l&apos;Ostrel Radio en cours d&apos;exécution.</translation>
    </message>
    <message>
        <source>Print what the running Ostrel Radio shows (station, title, status line) as JSON.</source>
        <translation>Afficher ce que montre l&apos;Ostrel Radio en cours (station, titre, ligne d&apos;état), en JSON.</translation>
    </message>
    <message>
        <source>Start quietly in the tray, as at login.</source>
        <translation>Démarrer discrètement dans la zone de notification, comme à la connexion.</translation>
    </message>
    <message>
        <source>Set up cloud sync with the WebDAV folder or Nextcloud server at URL for the user named after it; the password is read from standard input. Then exit.</source>
        <translation>Configurer la synchronisation avec le dossier WebDAV ou le serveur Nextcloud à l&apos;URL pour l&apos;utilisateur nommé ensuite ; le mot de passe est lu sur l&apos;entrée standard. Puis quitter.</translation>
    </message>
    <message>
        <source>The cloud user, with --configure-cloud.</source>
        <translation>L&apos;utilisateur du cloud, avec --configure-cloud.</translation>
    </message>
    <message>
        <source>
Try &apos;--help&apos; for the list of options.</source>
        <translation>
Essayez « --help » pour la liste des options.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is neither a host name nor an http:// or https:// address.</source>
        <translation>« %1 » n&apos;est ni un nom d&apos;hôte ni une adresse http:// ou https://.</translation>
    </message>
    <message>
        <source>--configure-cloud takes a server address and a user name: ostrel-radio --configure-cloud URL USER</source>
        <translation>--configure-cloud attend une adresse de serveur et un nom d&apos;utilisateur : ostrel-radio --configure-cloud URL USER</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.
Try &apos;--help&apos; for the list of options.</source>
        <translation>Argument inattendu « %1 ».
Essayez « --help » pour la liste des options.</translation>
    </message>
    <message>
        <source>Add the stream or playlist at URL to the favourites as a station of your own.</source>
        <translation>Ajouter aux favoris le flux ou la liste de lecture à l’adresse URL comme station personnelle.</translation>
    </message>
    <message>
        <source>The name of the station added with --add-station.</source>
        <translation>Le nom de la station ajoutée avec --add-station.</translation>
    </message>
    <message>
        <source>Add the stations of an M3U, PLS or XSPF playlist file to the favourites.</source>
        <translation>Ajouter aux favoris les stations d’une liste de lecture M3U, PLS ou XSPF.</translation>
    </message>
    <message>
        <source>Write the favourites to FILE as an M3U (.m3u, .m3u8) or PLS (.pls) playlist.</source>
        <translation>Écrire les favoris dans FILE comme liste de lecture M3U (.m3u, .m3u8) ou PLS (.pls).</translation>
    </message>
    <message>
        <source>--add-station, --import and --export go one at a time.</source>
        <translation>--add-station, --import et --export s’emploient un à la fois.</translation>
    </message>
    <message>
        <source>--name goes with --add-station.</source>
        <translation>--name s’emploie avec --add-station.</translation>
    </message>
    <message>
        <source>--export writes .m3u, .m3u8 or .pls files; &apos;%1&apos; is none of them.</source>
        <translation>--export écrit des fichiers .m3u, .m3u8 ou .pls ; « %1 » n’en est pas un.</translation>
    </message>
    <message>
        <source>Play STATION: a favourite&apos;s or recent station&apos;s name (the first that matches, case and accents aside), a station identifier, or the http:// or https:// address of a stream or playlist (played once, not added to a list). Without STATION, play the loaded station.</source>
        <translation>Écouter STATION : le nom d’un favori ou d’une station récente (la première qui correspond, sans tenir compte de la casse ni des accents), un identifiant de station, ou l’adresse http:// ou https:// d’un flux ou d’une liste de lecture (écoutée une fois, ajoutée à aucune liste). Sans STATION, écouter la station chargée.</translation>
    </message>
    <message>
        <source>Stop playing.</source>
        <translation>Arrêter la lecture.</translation>
    </message>
    <message>
        <source>Play the loaded station, or stop it.</source>
        <translation>Écouter la station chargée, ou l’arrêter.</translation>
    </message>
    <message>
        <source>Play the next favourite (after the last, the first).</source>
        <translation>Écouter le favori suivant (après le dernier, le premier).</translation>
    </message>
    <message>
        <source>Play the previous favourite (before the first, the last).</source>
        <translation>Écouter le favori précédent (avant le premier, le dernier).</translation>
    </message>
    <message>
        <source>Set the volume to N (0 to 100), or change it by +N or -N.</source>
        <translation>Régler le volume sur N (0 à 100), ou le changer de +N ou -N.</translation>
    </message>
    <message>
        <source>The station to play, with --play.</source>
        <translation>La station à écouter, avec --play.</translation>
    </message>
    <message>
        <source>%1 cannot go together: give one at a time.</source>
        <translation>%1 ne vont pas ensemble : une seule à la fois.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no volume: give a number from 0 to 100, or +N or -N to change it.</source>
        <translation>« %1 » n’est pas un volume : donnez un nombre de 0 à 100, ou +N ou -N pour le changer.</translation>
    </message>
    <message>
        <source>Ostrel Radio could not be started.</source>
        <translation>Ostrel Radio n’a pas pu être lancé.</translation>
    </message>
    <message>
        <source>Ostrel Radio did not start in time.</source>
        <translation>Ostrel Radio n’a pas démarré à temps.</translation>
    </message>
    <message>
        <source>Print the songs heard last, newest first, as lines &quot;time, station, title&quot;: 20, or the number given after it (--history 50).</source>
        <translation>Afficher les derniers titres entendus, du plus récent au plus ancien, en lignes « heure, station, titre » : 20, ou le nombre donné après (--history 50).</translation>
    </message>
    <message>
        <source>--history takes one number of songs, 1 or more: ostrel-radio --history 20</source>
        <translation>--history prend un nombre de titres, 1 ou plus : ostrel-radio --history 20</translation>
    </message>
    <message>
        <source>Record the station playing into your music folder, or stop recording; &quot;--record start&quot; and &quot;--record stop&quot; say which.</source>
        <translation>Enregistrer la station en cours dans votre dossier de musique, ou arrêter l’enregistrement ; « --record start » et « --record stop » disent lequel.</translation>
    </message>
    <message>
        <source>--record takes start or stop, or nothing to switch recording on or off.</source>
        <translation>--record prend start ou stop, ou rien pour lancer ou arrêter l’enregistrement.</translation>
    </message>
</context>
<context>
    <name>CountriesView</name>
    <message>
        <source>Countries</source>
        <translation>Pays</translation>
    </message>
    <message>
        <source>Search Countries</source>
        <translation>Rechercher un pays</translation>
    </message>
    <message>
        <source>Search countries by name or code</source>
        <translation>Rechercher les pays par nom ou code</translation>
    </message>
    <message>
        <source>Country list</source>
        <translation>Liste des pays</translation>
    </message>
    <message>
        <source>My Region</source>
        <translation>Ma région</translation>
    </message>
    <message>
        <source>Choose the country of my region</source>
        <translation>Choisir le pays de ma région</translation>
    </message>
    <message>
        <source>Choose the country of your region</source>
        <translation>Choisir le pays de votre région</translation>
    </message>
    <message>
        <source>Everywhere</source>
        <translation>Partout</translation>
    </message>
    <message>
        <source>Search the stations of every country</source>
        <translation>Rechercher les stations de tous les pays</translation>
    </message>
    <message>
        <source>Search the whole directory, by name, tags, language and more</source>
        <translation>Rechercher dans tout l&apos;annuaire, par nom, mots-clés, langue et plus</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Choisir</translation>
    </message>
    <message>
        <source>Choose the selected country</source>
        <translation>Choisir le pays sélectionné</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
</context>
<context>
    <name>CountryListModel</name>
    <message numerus="yes">
        <source>%n station(s)</source>
        <translation>
            <numerusform>%n station</numerusform>
            <numerusform>%n stations</numerusform>
        </translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Pays</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Stations</source>
        <translation>Stations</translation>
    </message>
</context>
<context>
    <name>DirectoryJson</name>
    <message>
        <source>The reply is not valid JSON (%1)</source>
        <translation>La réponse n&apos;est pas du JSON valide (%1)</translation>
    </message>
    <message>
        <source>The reply is not a list of stations</source>
        <translation>La réponse n&apos;est pas une liste de stations</translation>
    </message>
    <message>
        <source>The reply is not a list of servers</source>
        <translation>La réponse n&apos;est pas une liste de serveurs</translation>
    </message>
    <message>
        <source>The reply is not a list of countries</source>
        <translation>La réponse n&apos;est pas une liste de pays</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsPage</name>
    <message>
        <source>Start at login</source>
        <translation>Démarrer à la connexion</translation>
    </message>
    <message>
        <source>Ostrel Radio starts quietly in the tray when you log in</source>
        <translation>Ostrel Radio démarre discrètement dans la zone de notification à la connexion</translation>
    </message>
    <message>
        <source>Notify on new title</source>
        <translation>Notifier chaque nouveau titre</translation>
    </message>
    <message>
        <source>A desktop notification each time the song or show changes</source>
        <translation>Une notification du bureau à chaque changement de morceau ou d&apos;émission</translation>
    </message>
    <message>
        <source>Sleep timer</source>
        <translation>Minuterie de sommeil</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Désactivée</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minutes</translation>
    </message>
    <message>
        <source>Split recordings at each new title</source>
        <translation>Découper les enregistrements à chaque nouveau titre</translation>
    </message>
    <message>
        <source>Each song or show gets a file of its own, named after its title</source>
        <translation>Chaque morceau ou émission a son propre fichier, nommé d’après son titre</translation>
    </message>
</context>
<context>
    <name>GstMediaPlayer</name>
    <message>
        <source>Stream not available</source>
        <translation>Flux indisponible</translation>
    </message>
    <message>
        <source>Access to the stream refused</source>
        <translation>Accès au flux refusé</translation>
    </message>
    <message>
        <source>Not an audio stream</source>
        <translation>Ce n&apos;est pas un flux audio</translation>
    </message>
    <message>
        <source>Missing plug-in for this format</source>
        <translation>Module manquant pour ce format</translation>
    </message>
    <message>
        <source>Stream format not readable</source>
        <translation>Format du flux illisible</translation>
    </message>
    <message>
        <source>Stream did not answer</source>
        <translation>Le flux n&apos;a pas répondu</translation>
    </message>
    <message>
        <source>Audio output not available</source>
        <translation>Sortie audio indisponible</translation>
    </message>
    <message>
        <source>Playback not available</source>
        <translation>Lecture indisponible</translation>
    </message>
    <message>
        <source>Stream cannot be played</source>
        <translation>Le flux ne peut pas être lu</translation>
    </message>
    <message>
        <source>Not a web address</source>
        <translation>Ce n&apos;est pas une adresse web</translation>
    </message>
</context>
<context>
    <name>HistoryCommand</name>
    <message>
        <source>The song history cannot be read (%1).</source>
        <translation>L’historique des titres ne peut pas être lu (%1).</translation>
    </message>
</context>
<context>
    <name>HistoryPage</name>
    <message>
        <source>Filter songs</source>
        <translation>Filtrer les titres</translation>
    </message>
    <message>
        <source>Starred only</source>
        <translation>Favoris seulement</translation>
    </message>
    <message>
        <source>Songs heard</source>
        <translation>Titres entendus</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Copy the song&apos;s title</source>
        <translation>Copier le titre</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Search the web for the song</source>
        <translation>Rechercher le titre sur le web</translation>
    </message>
    <message>
        <source>Play station</source>
        <translation>Écouter la station</translation>
    </message>
    <message>
        <source>Play the song&apos;s station again</source>
        <translation>Réécouter la station de ce titre</translation>
    </message>
    <message>
        <source>Star</source>
        <translation>Étoile</translation>
    </message>
    <message>
        <source>Starred songs are kept however many others come</source>
        <translation>Les titres étoilés restent, quel que soit le nombre de nouveaux</translation>
    </message>
    <message>
        <source>Star the song</source>
        <translation>Mettre une étoile au titre</translation>
    </message>
    <message>
        <source>Export starred</source>
        <translation>Exporter les étoilés</translation>
    </message>
    <message>
        <source>Export starred songs</source>
        <translation>Exporter les titres étoilés</translation>
    </message>
    <message>
        <source>As text…</source>
        <translation>En texte…</translation>
    </message>
    <message>
        <source>As CSV…</source>
        <translation>En CSV…</translation>
    </message>
    <message>
        <source>Clear history…</source>
        <translation>Effacer l’historique…</translation>
    </message>
    <message>
        <source>Starred</source>
        <translation>Étoilé</translation>
    </message>
    <message>
        <source>Clear history</source>
        <translation>Effacer l’historique</translation>
    </message>
    <message>
        <source>Forget every song heard? Starred songs are kept.</source>
        <translation>Oublier tous les titres entendus ? Les titres étoilés sont conservés.</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Fichiers texte (*.txt)</translation>
    </message>
    <message numerus="yes">
        <source>Exported %n starred song(s).</source>
        <translation>
            <numerusform>%n titre étoilé exporté.</numerusform>
            <numerusform>%n titres étoilés exportés.</numerusform>
        </translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
    </message>
</context>
<context>
    <name>HttpTransport</name>
    <message>
        <source>The server did not answer within %1 seconds</source>
        <translation>Le serveur n&apos;a pas répondu en %1 secondes</translation>
    </message>
    <message>
        <source>The server took longer than %1 seconds to answer</source>
        <translation>Le serveur a mis plus de %1 secondes à répondre</translation>
    </message>
    <message>
        <source>The reply is larger than %1 MiB</source>
        <translation>La réponse dépasse %1 Mio</translation>
    </message>
    <message>
        <source>The server answered HTTP %1%2</source>
        <translation>Le serveur a répondu HTTP %1%2</translation>
    </message>
</context>
<context>
    <name>ListCommands</name>
    <message>
        <source>The player could not read the stations.</source>
        <translation>Le lecteur n’a pas pu lire les stations.</translation>
    </message>
    <message>
        <source>The running player did not answer.</source>
        <translation>Le lecteur en cours n’a pas répondu.</translation>
    </message>
    <message numerus="yes">
        <source>Wrote %n favourite(s) to %1.</source>
        <translation>
            <numerusform>%n favori écrit dans %1.</numerusform>
            <numerusform>%n favoris écrits dans %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>This address is among the favourites already.</source>
        <translation>Cette adresse figure déjà parmi les favoris.</translation>
    </message>
    <message>
        <source>Added &quot;%1&quot; to the favourites.</source>
        <translation>« %1 » a été ajoutée aux favoris.</translation>
    </message>
</context>
<context>
    <name>NextcloudLoginFlow</name>
    <message>
        <source>The login was not completed in the browser in time.</source>
        <translation>La connexion n&apos;a pas été terminée à temps dans le navigateur.</translation>
    </message>
    <message>
        <source>The server address must start with https://.</source>
        <translation>L&apos;adresse du serveur doit commencer par https://.</translation>
    </message>
    <message>
        <source>The server does not offer a Nextcloud login (%1).</source>
        <translation>Le serveur ne propose pas de connexion Nextcloud (%1).</translation>
    </message>
    <message>
        <source>The server&apos;s login answer is not usable.</source>
        <translation>La réponse de connexion du serveur est inutilisable.</translation>
    </message>
    <message>
        <source>The server refused the login (HTTP %1).</source>
        <translation>Le serveur a refusé la connexion (HTTP %1).</translation>
    </message>
</context>
<context>
    <name>NowPlayingLine</name>
    <message>
        <source>Reconnecting… next try in %1 s</source>
        <translation>Reconnexion… prochain essai dans %1 s</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <translation>Reconnexion…</translation>
    </message>
    <message>
        <source>Live Broadcast</source>
        <translation>En direct</translation>
    </message>
</context>
<context>
    <name>OutputPicker</name>
    <message>
        <source>Sound output</source>
        <translation>Sortie audio</translation>
    </message>
    <message>
        <source>Exclusive use</source>
        <translation>Usage exclusif</translation>
    </message>
    <message>
        <source>Use the output device exclusively</source>
        <translation>Utiliser le périphérique de sortie en exclusivité</translation>
    </message>
    <message>
        <source>Keep other programs off this device</source>
        <translation>Tenir les autres programmes à l’écart de ce périphérique</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Sortie</translation>
    </message>
    <message>
        <source>System default</source>
        <translation>Par défaut du système</translation>
    </message>
</context>
<context>
    <name>OwnStations</name>
    <message>
        <source>The station needs a name.</source>
        <translation>La station a besoin d’un nom.</translation>
    </message>
    <message>
        <source>Only http:// and https:// addresses can be added.</source>
        <translation>Seules les adresses http:// et https:// peuvent être ajoutées.</translation>
    </message>
    <message>
        <source>The home page must be an http:// or https:// address.</source>
        <translation>Le site web doit être une adresse http:// ou https://.</translation>
    </message>
    <message>
        <source>The icon must be an http:// or https:// address.</source>
        <translation>L’icône doit être une adresse http:// ou https://.</translation>
    </message>
    <message>
        <source>The country is a code of two letters, such as DE or US.</source>
        <translation>Le pays est un code de deux lettres, comme FR ou US.</translation>
    </message>
    <message>
        <source>The favourites are full (%1 stations): remove one to add another.</source>
        <translation>Les favoris sont pleins (%1 stations) : retirez-en une pour en ajouter une autre.</translation>
    </message>
    <message numerus="yes">
        <source>%n already among the favourites</source>
        <translation>
            <numerusform>%n déjà parmi les favoris</numerusform>
            <numerusform>%n déjà parmi les favoris</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n without an http:// or https:// address</source>
        <translation>
            <numerusform>%n sans adresse http:// ou https://</numerusform>
            <numerusform>%n sans adresse http:// ou https://</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n beyond the limit of %1 favourites</source>
        <translation>
            <numerusform>%n au-delà de la limite de %1 favoris</numerusform>
            <numerusform>%n au-delà de la limite de %1 favoris</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Added %n station(s).</source>
        <translation>
            <numerusform>%n station ajoutée.</numerusform>
            <numerusform>%n stations ajoutées.</numerusform>
        </translation>
    </message>
    <message>
        <source>Skipped %1.</source>
        <translation>Ignorées : %1.</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>%1 is larger than %2 KiB; no playlist is that long.</source>
        <translation>%1 dépasse %2 Kio ; aucune liste de lecture n’est aussi longue.</translation>
    </message>
    <message>
        <source>%1 is not an M3U, PLS or XSPF playlist.</source>
        <translation>%1 n’est pas une liste de lecture M3U, PLS ou XSPF.</translation>
    </message>
    <message>
        <source>Playlists are written as .m3u, .m3u8 or .pls files.</source>
        <translation>Les listes de lecture s’écrivent en fichiers .m3u, .m3u8 ou .pls.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
    </message>
</context>
<context>
    <name>OwnStationsMenu</name>
    <message>
        <source>Add a Station…</source>
        <translation>Ajouter une station…</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importer…</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exporter…</translation>
    </message>
    <message>
        <source>Added &quot;%1&quot; to the favourites.</source>
        <translation>« %1 » a été ajoutée aux favoris.</translation>
    </message>
    <message>
        <source>Import Stations</source>
        <translation>Importer des stations</translation>
    </message>
    <message>
        <source>Playlists (*.m3u *.m3u8 *.pls *.xspf);;All files (*)</source>
        <translation>Listes de lecture (*.m3u *.m3u8 *.pls *.xspf);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Export Favourites</source>
        <translation>Exporter les favoris</translation>
    </message>
    <message>
        <source>Favourites.m3u</source>
        <translation>Favoris.m3u</translation>
    </message>
    <message>
        <source>M3U playlist (*.m3u *.m3u8);;PLS playlist (*.pls)</source>
        <translation>Liste de lecture M3U (*.m3u *.m3u8);;Liste de lecture PLS (*.pls)</translation>
    </message>
    <message numerus="yes">
        <source>Wrote %n favourite(s) to %1.</source>
        <translation>
            <numerusform>%n favori écrit dans %1.</numerusform>
            <numerusform>%n favoris écrits dans %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PlayerCommands</name>
    <message>
        <source>No station is loaded.</source>
        <translation>Aucune station n’est chargée.</translation>
    </message>
    <message>
        <source>No favourite or recent station matches &apos;%1&apos;.</source>
        <translation>Aucun favori ni aucune station récente ne correspond à « %1 ».</translation>
    </message>
    <message>
        <source>The directory has no station with the identifier &apos;%1&apos;.</source>
        <translation>L’annuaire n’a aucune station d’identifiant « %1 ».</translation>
    </message>
    <message>
        <source>Not a web address: &apos;%1&apos;.</source>
        <translation>Ce n’est pas une adresse web : « %1 ».</translation>
    </message>
    <message>
        <source>There are no favourites to go through.</source>
        <translation>Il n’y a aucun favori à parcourir.</translation>
    </message>
    <message>
        <source>The volume is a number from 0 to 100, or +N or -N to change it.</source>
        <translation>Le volume est un nombre de 0 à 100, ou +N ou -N pour le changer.</translation>
    </message>
    <message>
        <source>Recording is not available.</source>
        <translation>L’enregistrement n’est pas disponible.</translation>
    </message>
</context>
<context>
    <name>PopoverView</name>
    <message>
        <source>Station picture</source>
        <translation>Image de la station</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Station details</source>
        <translation>Détails de la station</translation>
    </message>
    <message>
        <source>Station tags</source>
        <translation>Mots-clés de la station</translation>
    </message>
    <message>
        <source>Now playing. Press to search the web for this title</source>
        <translation>En cours de lecture. Appuyez pour rechercher ce titre sur le web</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <source>Plays or stops the loaded station</source>
        <translation>Lit ou arrête la station chargée</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Favori</translation>
    </message>
    <message>
        <source>Move up in favourites</source>
        <translation>Monter dans les favoris</translation>
    </message>
    <message>
        <source>Move down in favourites</source>
        <translation>Descendre dans les favoris</translation>
    </message>
    <message>
        <source>Open the station&apos;s web page</source>
        <translation>Ouvrir la page web de la station</translation>
    </message>
    <message>
        <source>Vote for this station</source>
        <translation>Voter pour cette station</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Choose the country</source>
        <translation>Choisir le pays</translation>
    </message>
    <message>
        <source>Search names and tags</source>
        <translation>Rechercher noms et mots-clés</translation>
    </message>
    <message>
        <source>Search stations</source>
        <translation>Rechercher des stations</translation>
    </message>
    <message>
        <source>Filters the stations by name and tags</source>
        <translation>Filtre les stations par nom et mots-clés</translation>
    </message>
    <message>
        <source>Sort stations</source>
        <translation>Trier les stations</translation>
    </message>
    <message>
        <source>Filter by tags</source>
        <translation>Filtrer par mots-clés</translation>
    </message>
    <message>
        <source>Search filters</source>
        <translation>Filtres de recherche</translation>
    </message>
    <message>
        <source>Stations</source>
        <translation>Stations</translation>
    </message>
    <message>
        <source>Countries</source>
        <translation>Pays</translation>
    </message>
    <message>
        <source>Directory server</source>
        <translation>Serveur de l&apos;annuaire</translation>
    </message>
    <message>
        <source>Stations come from the community directory Radio Browser. Any of its servers answers with the same list.</source>
        <translation>Les stations viennent de l&apos;annuaire communautaire Radio Browser. Chacun de ses serveurs répond avec la même liste.</translation>
    </message>
    <message>
        <source>Radio Browser directory</source>
        <translation>Annuaire Radio Browser</translation>
    </message>
    <message>
        <source>Open the Radio Browser web site</source>
        <translation>Ouvrir le site web de Radio Browser</translation>
    </message>
    <message>
        <source>Add a missing station</source>
        <translation>Ajouter une station manquante</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Son</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>More results</source>
        <translation>Plus de résultats</translation>
    </message>
    <message>
        <source>Adds the next stations found in the whole directory</source>
        <translation>Ajoute les stations suivantes trouvées dans tout l&apos;annuaire</translation>
    </message>
    <message>
        <source>★ Favourites</source>
        <translation>★ Favoris</translation>
    </message>
    <message>
        <source>Show favourites</source>
        <translation>Afficher les favoris</translation>
    </message>
    <message>
        <source>↺ Recent</source>
        <translation>↺ Récentes</translation>
    </message>
    <message>
        <source>Show recently played</source>
        <translation>Afficher les stations écoutées récemment</translation>
    </message>
    <message>
        <source>Open in a window</source>
        <translation>Ouvrir dans une fenêtre</translation>
    </message>
    <message>
        <source>Station strip</source>
        <translation>Bandeau des stations</translation>
    </message>
    <message>
        <source>Add a station the directory does not have, by its address</source>
        <translation>Ajouter par son adresse une station absente de l’annuaire</translation>
    </message>
    <message>
        <source>Your own stations</source>
        <translation>Vos stations</translation>
    </message>
    <message>
        <source>Loading stations</source>
        <translation>Chargement des stations</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Chargement…</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêt</translation>
    </message>
    <message>
        <source>No station</source>
        <translation>Aucune station</translation>
    </message>
</context>
<context>
    <name>RadioBrowser</name>
    <message>
        <source>This station cannot be voted for</source>
        <translation>Impossible de voter pour cette station</translation>
    </message>
    <message>
        <source>You voted for this station less than 10 minutes ago</source>
        <translation>Vous avez voté pour cette station il y a moins de 10 minutes</translation>
    </message>
    <message>
        <source>The directory did not take the vote</source>
        <translation>L&apos;annuaire n&apos;a pas pris en compte le vote</translation>
    </message>
    <message>
        <source>Vote counted</source>
        <translation>Vote compté</translation>
    </message>
</context>
<context>
    <name>RadioViewController</name>
    <message>
        <source>Search names and tags</source>
        <translation>Rechercher noms et mots-clés</translation>
    </message>
    <message>
        <source>Search the whole directory</source>
        <translation>Rechercher dans tout l&apos;annuaire</translation>
    </message>
    <message>
        <source>Type a name, or choose filters, to search every country</source>
        <translation>Saisissez un nom ou choisissez des filtres pour chercher dans tous les pays</translation>
    </message>
    <message>
        <source>Everywhere: the stations of every country</source>
        <translation>Partout : les stations de tous les pays</translation>
    </message>
    <message>
        <source>Country: %1</source>
        <translation>Pays : %1</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>station</translation>
    </message>
    <message>
        <source>Stations</source>
        <translation>stations</translation>
    </message>
    <message>
        <source>Searches the stations of every country by name</source>
        <translation>Recherche les stations de tous les pays par nom</translation>
    </message>
    <message>
        <source>Filters the stations by name and tags</source>
        <translation>Filtre les stations par nom et mots-clés</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Chargement…</translation>
    </message>
    <message>
        <source>No stations found!</source>
        <translation>Aucune station trouvée !</translation>
    </message>
    <message>
        <source>⚠️ Server not working!</source>
        <translation>⚠️ Le serveur ne fonctionne pas !</translation>
    </message>
</context>
<context>
    <name>RecordingControl</name>
    <message>
        <source>Record</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Record the station as it plays, into your music folder</source>
        <translation>Enregistrer la station pendant l’écoute, dans votre dossier de musique</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
</context>
<context>
    <name>RecordingWriter</name>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
    </message>
</context>
<context>
    <name>SearchFacetsView</name>
    <message>
        <source>Encrypted streams only (HTTPS)</source>
        <translation>Flux chiffrés uniquement (HTTPS)</translation>
    </message>
    <message>
        <source>jazz, news</source>
        <translation>jazz, infos</translation>
    </message>
    <message>
        <source>Any language</source>
        <translation>Toute langue</translation>
    </message>
    <message>
        <source>Any country</source>
        <translation>Tout pays</translation>
    </message>
    <message>
        <source>Any format</source>
        <translation>Tout format</translation>
    </message>
    <message>
        <source>Any bit rate</source>
        <translation>Tout débit</translation>
    </message>
    <message>
        <source>At least %1 kbps</source>
        <translation>Au moins %1 kbit/s</translation>
    </message>
    <message>
        <source>&amp;Tags:</source>
        <translation>&amp;Mots-clés :</translation>
    </message>
    <message>
        <source>&amp;Language:</source>
        <translation>&amp;Langue :</translation>
    </message>
    <message>
        <source>C&amp;ountry:</source>
        <translation>&amp;Pays :</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format :</translation>
    </message>
    <message>
        <source>&amp;Bit rate:</source>
        <translation>&amp;Débit :</translation>
    </message>
    <message>
        <source>Stations with every one of these tags, separated by commas</source>
        <translation>Stations portant tous ces mots-clés, séparés par des virgules</translation>
    </message>
</context>
<context>
    <name>ServerChoice</name>
    <message>
        <source>Any server (%1)</source>
        <translation>N&apos;importe quel serveur (%1)</translation>
    </message>
</context>
<context>
    <name>SleepTimer</name>
    <message>
        <source>%1 s left</source>
        <translation>encore %1 s</translation>
    </message>
    <message>
        <source>%1 min left</source>
        <translation>encore %1 min</translation>
    </message>
</context>
<context>
    <name>SleepTimerMenu</name>
    <message>
        <source>Off</source>
        <translation>Désactivée</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minutes</translation>
    </message>
    <message>
        <source>Sleep timer</source>
        <translation>Minuterie de sommeil</translation>
    </message>
    <message>
        <source>Sleep timer (%1)</source>
        <translation>Minuterie de sommeil (%1)</translation>
    </message>
</context>
<context>
    <name>SongHistoryModel</name>
    <message>
        <source>Today</source>
        <translation>Aujourd’hui</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Hier</translation>
    </message>
    <message>
        <source>%1, on %2 at %3, starred</source>
        <translation>%1, sur %2 à %3, étoilé</translation>
    </message>
    <message>
        <source>%1, on %2 at %3</source>
        <translation>%1, sur %2 à %3</translation>
    </message>
</context>
<context>
    <name>SortMenu</name>
    <message>
        <source>Most votes</source>
        <translation>Plus de votes</translation>
    </message>
    <message>
        <source>Most played</source>
        <translation>Plus écoutées</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Mots-clés</translation>
    </message>
</context>
<context>
    <name>StationCollectionViewItem</name>
    <message>
        <source>Remove from Favorites</source>
        <translation>Retirer des favoris</translation>
    </message>
    <message>
        <source>%1
No longer in the directory</source>
        <translation>%1
N&apos;est plus dans l&apos;annuaire</translation>
    </message>
    <message>
        <source>favourite</source>
        <translation>favori</translation>
    </message>
    <message>
        <source>no longer in the directory</source>
        <translation>n&apos;est plus dans l&apos;annuaire</translation>
    </message>
    <message>
        <source>Enter plays, the menu key offers removal</source>
        <translation>Entrée lance la lecture, la touche menu propose le retrait</translation>
    </message>
    <message>
        <source>Enter plays</source>
        <translation>Entrée lance la lecture</translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation>Modifier…</translation>
    </message>
    <message>
        <source>%1
Your own station</source>
        <translation>%1
Votre station</translation>
    </message>
    <message>
        <source>your own station</source>
        <translation>votre station</translation>
    </message>
</context>
<context>
    <name>StationPlayer</name>
    <message>
        <source>Stream not available</source>
        <translation>Flux indisponible</translation>
    </message>
</context>
<context>
    <name>StationResolver</name>
    <message>
        <source>Only http:// and https:// addresses can be added.</source>
        <translation>Seules les adresses http:// et https:// peuvent être ajoutées.</translation>
    </message>
    <message>
        <source>Nothing at this address plays.</source>
        <translation>Rien ne joue à cette adresse.</translation>
    </message>
    <message>
        <source>The playlist has no http:// or https:// entry.</source>
        <translation>La liste de lecture n’a aucune entrée http:// ou https://.</translation>
    </message>
    <message>
        <source>The playlists are nested more than %1 deep.</source>
        <translation>Les listes de lecture sont imbriquées sur plus de %1 niveaux.</translation>
    </message>
    <message>
        <source>The address sends on to one that is not http:// or https://.</source>
        <translation>L’adresse renvoie vers une autre qui n’est pas en http:// ou https://.</translation>
    </message>
    <message>
        <source>The server refused the address: %1</source>
        <translation>Le serveur a refusé l’adresse : %1</translation>
    </message>
    <message>
        <source>The station did not answer within %1 seconds.</source>
        <translation>La station n’a pas répondu en %1 secondes.</translation>
    </message>
    <message>
        <source>Could not reach the station: %1</source>
        <translation>Impossible de joindre la station : %1</translation>
    </message>
    <message>
        <source>The address gave nothing to play.</source>
        <translation>L’adresse n’a rien donné à jouer.</translation>
    </message>
    <message>
        <source>This address leads to a web page, not to a stream or a playlist.</source>
        <translation>Cette adresse mène à une page web, pas à un flux ni à une liste de lecture.</translation>
    </message>
    <message>
        <source>The playlist is larger than %1 KiB.</source>
        <translation>La liste de lecture dépasse %1 Kio.</translation>
    </message>
    <message>
        <source>The playlist did not arrive within %1 seconds.</source>
        <translation>La liste de lecture n’est pas arrivée en %1 secondes.</translation>
    </message>
    <message>
        <source>This address gives %1, not audio the player can play.</source>
        <translation>Cette adresse fournit %1, pas un son que le lecteur sait jouer.</translation>
    </message>
    <message>
        <source>What this address sends is not audio the player can play.</source>
        <translation>Ce que cette adresse envoie n’est pas un son que le lecteur sait jouer.</translation>
    </message>
</context>
<context>
    <name>StationTableModel</name>
    <message>
        <source>%1
No longer in the directory</source>
        <translation>%1
N&apos;est plus dans l&apos;annuaire</translation>
    </message>
    <message>
        <source>Enter plays, Space removes the star</source>
        <translation>Entrée lance la lecture, Espace retire l&apos;étoile</translation>
    </message>
    <message>
        <source>Enter plays, Space adds the star</source>
        <translation>Entrée lance la lecture, Espace ajoute l&apos;étoile</translation>
    </message>
    <message>
        <source>%1
Your own station</source>
        <translation>%1
Votre station</translation>
    </message>
</context>
<context>
    <name>StationsStripView</name>
    <message>
        <source>Station name</source>
        <translation>Nom de la station</translation>
    </message>
    <message>
        <source>Scroll left</source>
        <translation>Défiler vers la gauche</translation>
    </message>
    <message>
        <source>Scroll right</source>
        <translation>Défiler vers la droite</translation>
    </message>
    <message>
        <source>FAVORITE STATIONS LIST</source>
        <translation>LISTE DES STATIONS FAVORITES</translation>
    </message>
    <message>
        <source>RECENT STATIONS LIST</source>
        <translation>LISTE DES STATIONS RÉCENTES</translation>
    </message>
    <message>
        <source>Favorite stations</source>
        <translation>Stations favorites</translation>
    </message>
    <message>
        <source>Recent stations</source>
        <translation>Stations récentes</translation>
    </message>
    <message>
        <source>Star a station to keep it here.</source>
        <translation>Étoilez une station pour la garder ici.</translation>
    </message>
    <message>
        <source>The stations you play appear here.</source>
        <translation>Les stations que vous écoutez apparaissent ici.</translation>
    </message>
</context>
<context>
    <name>StreamRecorder</name>
    <message>
        <source>Recording stopped: %1</source>
        <translation>Enregistrement arrêté : %1</translation>
    </message>
    <message>
        <source> (partial)</source>
        <translation> (partiel)</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Nothing is playing to record.</source>
        <translation>Rien ne joue qui puisse être enregistré.</translation>
    </message>
    <message>
        <source>Less than 500 MB free for recordings in %1.</source>
        <translation>Moins de 500 Mo libres pour les enregistrements dans %1.</translation>
    </message>
    <message>
        <source>Recording stopped: less than 500 MB free in %1.</source>
        <translation>Enregistrement arrêté : moins de 500 Mo libres dans %1.</translation>
    </message>
</context>
<context>
    <name>TagsView</name>
    <message>
        <source>Tags</source>
        <translation>Mots-clés</translation>
    </message>
    <message>
        <source>Search Tags</source>
        <translation>Rechercher des mots-clés</translation>
    </message>
    <message>
        <source>Search tags</source>
        <translation>Rechercher des mots-clés</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>Tout effacer</translation>
    </message>
    <message>
        <source>Clear the tag selection</source>
        <translation>Effacer la sélection de mots-clés</translation>
    </message>
    <message>
        <source>Tag list</source>
        <translation>Liste des mots-clés</translation>
    </message>
    <message>
        <source>No Tags</source>
        <translation>Aucun mot-clé</translation>
    </message>
    <message>
        <source>No Matching Tags</source>
        <translation>Aucun mot-clé correspondant</translation>
    </message>
</context>
<context>
    <name>WakeUpAlarmView</name>
    <message>
        <source>Wake-up alarm</source>
        <translation>Réveil</translation>
    </message>
    <message>
        <source>Wake me at</source>
        <translation>Me réveiller à</translation>
    </message>
    <message>
        <source>Plays a favourite at this time on the chosen days, fading in over 30 seconds. Ostrel Radio must be running, in the tray at least.</source>
        <translation>Joue un favori à cette heure les jours choisis, en montant le son progressivement sur 30 secondes. Ostrel Radio doit être lancé, au moins dans la zone de notification.</translation>
    </message>
    <message>
        <source>Alarm time</source>
        <translation>Heure du réveil</translation>
    </message>
    <message>
        <source>Alarm station</source>
        <translation>Station du réveil</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>No favourites yet</source>
        <translation>Pas encore de favoris</translation>
    </message>
    <message>
        <source>A removed favourite (only a tone rings)</source>
        <translation>Un favori supprimé (seule une sonnerie retentit)</translation>
    </message>
    <message>
        <source>Choose the days it rings.</source>
        <translation>Choisissez les jours où il sonne.</translation>
    </message>
    <message>
        <source>Next alarm: %1 at %2</source>
        <translation>Prochain réveil : %1 à %2</translation>
    </message>
</context>
<context>
    <name>WebDavDatabase</name>
    <message>
        <source>No password is stored for %1</source>
        <translation>Aucun mot de passe n&apos;est enregistré pour %1</translation>
    </message>
    <message>
        <source>The password could not be read from the keyring: %1</source>
        <translation>Le mot de passe n&apos;a pas pu être lu dans le trousseau : %1</translation>
    </message>
    <message>
        <source>The answer is larger than %1 MiB</source>
        <translation>La réponse dépasse %1 Mio</translation>
    </message>
    <message>
        <source>The server refused the login (HTTP 401)</source>
        <translation>Le serveur a refusé la connexion (HTTP 401)</translation>
    </message>
    <message>
        <source>The server does not allow this (HTTP 403)</source>
        <translation>Le serveur ne l&apos;autorise pas (HTTP 403)</translation>
    </message>
    <message>
        <source>The record changed on the server since it was fetched (HTTP 412)</source>
        <translation>L&apos;enregistrement a changé sur le serveur depuis sa lecture (HTTP 412)</translation>
    </message>
    <message>
        <source>Another save is writing the record (HTTP 423)</source>
        <translation>Un autre enregistrement est en train d&apos;écrire les données (HTTP 423)</translation>
    </message>
    <message>
        <source>The server keeps asking to wait (HTTP 429)</source>
        <translation>Le serveur demande sans cesse d&apos;attendre (HTTP 429)</translation>
    </message>
    <message>
        <source>The server redirects to %1 (HTTP %2): use that address</source>
        <translation>Le serveur redirige vers %1 (HTTP %2) : utilisez cette adresse</translation>
    </message>
    <message>
        <source>The server answered HTTP %1</source>
        <translation>Le serveur a répondu HTTP %1</translation>
    </message>
    <message>
        <source>Cloud sync is off: no account is set up</source>
        <translation>La synchronisation est désactivée : aucun compte n&apos;est configuré</translation>
    </message>
    <message>
        <source>The record %1 does not exist yet</source>
        <translation>L&apos;enregistrement %1 n&apos;existe pas encore</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made or used (HTTP %2)</source>
        <translation>Le dossier %1 ne peut être ni créé ni utilisé (HTTP %2)</translation>
    </message>
    <message>
        <source>Another save replaced the record at the same moment</source>
        <translation>Un autre enregistrement a remplacé les données au même moment</translation>
    </message>
    <message>
        <source>An http(s) address and a user name are needed</source>
        <translation>Une adresse http(s) et un nom d&apos;utilisateur sont nécessaires</translation>
    </message>
    <message>
        <source>There is no folder at %1</source>
        <translation>Il n&apos;y a pas de dossier à %1</translation>
    </message>
    <message>
        <source>%1 is not a WebDAV folder (HTTP %2)</source>
        <translation>%1 n&apos;est pas un dossier WebDAV (HTTP %2)</translation>
    </message>
</context>
</TS>
